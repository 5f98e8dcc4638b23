#include "ui/FileDialog.h"

#include "ui/MessageBox.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>

#include <algorithm>

namespace {

// An Open dialog that also takes the names of files still being written. Qt's own
// check of a typed name would say the file is not there; this one says so only for
// a name that is neither there nor on its way.
class OpenDialog final : public QFileDialog
{
public:
    OpenDialog(QWidget *parent, const QString &caption, const QString &initial,
               const QString &filter, const QStringList &onTheirWay)
        : QFileDialog(parent, caption, initial, filter), m_onTheirWay(onTheirWay)
    {
        setAcceptMode(QFileDialog::AcceptOpen);
        setFileMode(QFileDialog::AnyFile);
        // A dialog of the desktop's own would not ask accept() below.
        setOption(QFileDialog::DontUseNativeDialog);
    }

    void accept() override
    {
        const QStringList chosen = selectedFiles();
        if (chosen.size() != 1 || QFileInfo::exists(chosen.first())) {
            QFileDialog::accept();
            return;
        }
        const QString path = QFileInfo(chosen.first()).absoluteFilePath();
        const bool onItsWay =
            std::any_of(m_onTheirWay.cbegin(), m_onTheirWay.cend(), [&](const QString &file) {
                return QFileInfo(file).absoluteFilePath() == path;
            });
        if (onItsWay) {
            QDialog::accept();
            return;
        }
        MessageBox::show(this, windowTitle(),
                         QCoreApplication::translate("QFileDialog",
                                                     "%1\nFile not found.\nPlease verify the "
                                                     "correct file name was given.")
                             .arg(chosen.first()),
                         QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok);
    }

private:
    QStringList m_onTheirWay;
};

} // namespace

bool FileDialog::s_answerInstead = false;
QStringList FileDialog::s_answers;
QStringList FileDialog::s_initialNames;
QStringList FileDialog::s_onTheirWay;

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
                                    const QString &filter, const QStringList &onTheirWay)
{
    if (s_answerInstead) {
        s_onTheirWay = onTheirWay;
        return answer(initial);
    }
    if (onTheirWay.isEmpty())
        return QFileDialog::getOpenFileName(parent, caption, initial, filter);

    OpenDialog dialog(parent, caption, initial, filter, onTheirWay);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

void FileDialog::answerInstead(bool enabled)
{
    s_answerInstead = enabled;
    s_answers.clear();
    s_initialNames.clear();
    s_onTheirWay.clear();
}

void FileDialog::queueAnswer(const QString &path)
{
    s_answers.append(path);
}

QStringList FileDialog::initialNames()
{
    return s_initialNames;
}
