#pragma once

#include <QDialog>

// The notice that greets a new user: the main window shows it modally during its
// start-up while the "firsttime" setting asks for it. It points to the how-it-works
// page and the manual, and its check box switches the notice off for later starts.
// It lives for one showing; closing it in any way deletes it.
class FirstTime : public QDialog
{
    Q_OBJECT

public:
    explicit FirstTime(QWidget *parent = nullptr);

private:
    void rememberChoice(bool doNotShowAgain);
    void openPage(const QString &page);
};
