#include "ui/MessageBox.h"

#include "ui/Windows.h"

#include <QAbstractButton>
#include <QCoreApplication>

bool MessageBox::s_answerInstead = false;
QList<MessageBox::Button> MessageBox::s_answers;
QList<MessageBox::Shown> MessageBox::s_shown;

MessageBox::Button MessageBox::show(QWidget *parent, const QString &title, const QString &text,
                                    QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                                    Button defaultButton, const ButtonTexts &buttonTexts)
{
    if (s_answerInstead) {
        s_shown.append({title, text, icon, buttons, defaultButton, buttonTexts});
        if (!s_answers.isEmpty())
            return s_answers.takeFirst();
        return defaultButton != QMessageBox::NoButton ? defaultButton : QMessageBox::Ok;
    }

    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    for (const auto &[button, caption] : buttonTexts) {
        if (QAbstractButton *shownButton = box.button(button))
            shownButton->setText(caption);
    }
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return Button(box.exec());
}

void MessageBox::inform(QWidget *parent, const QString &text, QMessageBox::Icon icon)
{
    if (Windows::userGone())
        return;
    show(parent, appTitle(), text, icon, QMessageBox::Ok, QMessageBox::Ok);
}

QString MessageBox::appTitle()
{
    return QStringLiteral("Numbrill");
}

void MessageBox::answerInstead(bool enabled)
{
    s_answerInstead = enabled;
    s_answers.clear();
    s_shown.clear();
}

void MessageBox::queueAnswer(Button answer)
{
    s_answers.append(answer);
}

QList<MessageBox::Shown> MessageBox::shown()
{
    return s_shown;
}

void MessageBox::clearShown()
{
    s_shown.clear();
}
