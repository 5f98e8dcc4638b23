#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>

#include <utility>

// Every message box of the program goes through here, so that a test can answer it
// instead of a user. Texts are shown as plain text.
class MessageBox
{
public:
    using Button = QMessageBox::StandardButton;
    // Buttons whose caption is not the standard one.
    using ButtonTexts = QList<std::pair<Button, QString>>;

    struct Shown
    {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        Button defaultButton = QMessageBox::NoButton;
        ButtonTexts buttonTexts;
    };

    static Button show(QWidget *parent, const QString &title, const QString &text,
                       QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                       Button defaultButton, const ButtonTexts &buttonTexts = {});

    // An OK box captioned with the program's title; none once the user has gone.
    static void inform(QWidget *parent, const QString &text,
                       QMessageBox::Icon icon = QMessageBox::NoIcon);

    // The program's title, the caption of every box that has none of its own.
    static QString appTitle();

    // For tests: from now on no box is shown. Each is recorded and answered with the
    // next queued answer, or with its default button when none is queued.
    static void answerInstead(bool enabled);
    static void queueAnswer(Button answer);
    static QList<Shown> shown();
    static void clearShown();

private:
    static bool s_answerInstead;
    static QList<Button> s_answers;
    static QList<Shown> s_shown;
};
