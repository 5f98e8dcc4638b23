#include "remembered/ExitSave.h"

#include "remembered/RememberedNumbers.h"
#include "ui/MessageBox.h"

#include <QCoreApplication>

namespace ExitSave {

void run(QWidget *parent)
{
    RememberedNumbers *numbers = RememberedNumbers::instance();
    QString error;
    while (!numbers->saveForExit(&error)) {
        const MessageBox::Button answer = MessageBox::show(
            parent, MessageBox::appTitle(),
            QCoreApplication::translate("Form3",
                                        "Your remembered numbers could not be saved.\n\n%1")
                .arg(error),
            QMessageBox::Critical, QMessageBox::Retry | QMessageBox::Discard, QMessageBox::Retry,
            {{QMessageBox::Discard, QCoreApplication::translate("Form3", "Quit without saving")}});
        if (answer != QMessageBox::Retry) {
            numbers->setDiscarded(true);
            break;
        }
    }
    numbers->dropForExit();
}

} // namespace ExitSave
