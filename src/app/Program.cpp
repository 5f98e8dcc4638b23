#include "app/Program.h"

#include "app/ShutdownSignals.h"
#include "remembered/Form3.h"
#include "settings/Installation.h"
#include "ui/MessageBox.h"
#include "ui/Resources.h"
#include "ui/Windows.h"
#include "workspace/Form1.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLockFile>
#include <QSessionManager>

#include <memory>

namespace {

bool s_shutdownRequested = false;

void savePendingList()
{
    if (Form3 *remembered = Windows::existing<Form3>())
        remembered->unloadForExit();
}

} // namespace

namespace Program {

// Two copies of the program on one installation would each save their own list
// over the other's.
std::unique_ptr<QLockFile> lockInstallation()
{
    // Without a data folder there is no list to protect, and no folder to lock in.
    const QString dataFolder = Installation::dataFolder();
    if (dataFolder.isEmpty() || !QDir(dataFolder).exists())
        return std::make_unique<QLockFile>(QString());
    auto lock =
        std::make_unique<QLockFile>(QDir(dataFolder).filePath(QStringLiteral("numbrill.lock")));
    lock->setStaleLockTime(0);
    if (!lock->tryLock() && lock->error() == QLockFile::LockFailedError)
        return nullptr;
    return lock;
}

void installShutdownHandlers()
{
    ShutdownSignals::install([] {
        s_shutdownRequested = true;
        // A modal window (the first-time notice, a message box, the review dialog)
        // runs an event loop of its own and would keep the program waiting for a
        // user who is gone. During start-up, ending it lets the start-up finish, and
        // run() then ends instead of showing the main window.
        QWidget *ended = nullptr;
        while (QWidget *modal = QApplication::activeModalWidget()) {
            if (modal == ended)
                break;
            ended = modal;
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            else
                modal->close();
        }
        if (Form1 *main = Windows::existing<Form1>())
            main->close();
        savePendingList();
        QApplication::quit();
    });
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp,
                     [](QSessionManager &) { savePendingList(); });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, savePendingList);
}

int run()
{
    QApplication::setApplicationName(QStringLiteral("Numbrill"));
    QApplication::setApplicationVersion(QStringLiteral(NUMBRILL_VERSION));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.numbrill"));
    loadNumbrillResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/numbrill.svg")));

    const std::unique_ptr<QLockFile> lock = lockInstallation();
    if (!lock) {
        MessageBox::inform(nullptr,
                           QApplication::translate("Program",
                                                   "Numbrill is already running. Please use the "
                                                   "window that is open."),
                           QMessageBox::Information);
        return 1;
    }

    s_shutdownRequested = false;
    installShutdownHandlers();
    Form1 *main = Windows::instance<Form1>();
    int result = 0;
    if (s_shutdownRequested) {
        savePendingList();
    } else {
        main->show();
        result = QApplication::exec();
    }
    const Form3 *remembered = Windows::existing<Form3>();
    const bool unsaved = remembered && remembered->quitWithoutSaving();
    Windows::releaseAll();
    // Whoever started the program learns that changes were thrown away.
    return unsaved && result == 0 ? 1 : result;
}

bool shutdownRequested()
{
    return s_shutdownRequested;
}

} // namespace Program
