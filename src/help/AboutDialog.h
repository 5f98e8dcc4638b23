#pragma once

#include <QDialog>

// The About box: the program's name, version and icon, a way to the maker's web site
// and to the system's own information tool. The main window's Help menu shows it
// without making it modal; "OK", Enter, Escape or its frame close and delete it.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);

    // Starts the system-information tool, or says that there is none.
    void StartSysInfo();
};
