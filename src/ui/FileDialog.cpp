#include "ui/FileDialog.h"

#include <QFileDialog>

bool FileDialog::s_answerInstead = false;
QStringList FileDialog::s_answers;
QStringList FileDialog::s_initialNames;

QString FileDialog::answer(const QString &initial)
{
    s_initialNames.append(initial);
    return s_answers.isEmpty() ? QString() : s_answers.takeFirst();
}

QString FileDialog::getSaveFileName(QWidget *parent, const QString &caption, const QString &initial,
                                    const QString &filter, const QString &defaultSuffix)
{
    if (s_answerInstead)
        return answer(initial);

    QFileDialog dialog(parent, caption, initial, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QString FileDialog::getOpenFileName(QWidget *parent, const QString &caption, const QString &initial,
                                    const QString &filter)
{
    if (s_answerInstead)
        return answer(initial);
    return QFileDialog::getOpenFileName(parent, caption, initial, filter);
}

void FileDialog::answerInstead(bool enabled)
{
    s_answerInstead = enabled;
    s_answers.clear();
    s_initialNames.clear();
}

void FileDialog::queueAnswer(const QString &path)
{
    s_answers.append(path);
}

QStringList FileDialog::initialNames()
{
    return s_initialNames;
}
