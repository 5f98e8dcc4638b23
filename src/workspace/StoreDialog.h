#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The review dialog of the store flow: the user describes the finished number, looks
// at its memory words once more, and stores it, forgets it or goes back. The main
// window shows it modally: accepted when the chain was stored or forgotten, rejected
// when the user goes back to it.
class StoreDialog : public QDialog
{
    Q_OBJECT

public:
    explicit StoreDialog(QWidget *parent = nullptr);

    void setwords(const QString &words);
    void clearDescription();

private:
    void storeNumber();
    void forgetNumber();

    QLineEdit *m_description = nullptr;
    QLabel *m_words = nullptr;
};
