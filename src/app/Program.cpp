#include "app/Program.h"

#include "app/ShutdownSignals.h"
#include "core/AppInfo.h"
#include "core/CommandLine.h"
#include "remembered/ExitSave.h"
#include "remembered/RememberedNumbers.h"
#include "settings/Installation.h"
#include "settings/Registry.h"
#include "ui/MessageBox.h"
#include "ui/Pictures.h"
#include "ui/Resources.h"
#include "ui/Windows.h"
#include "workspace/MainWindow.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSessionManager>
#include <QTimer>

#include <memory>

namespace {

void savePendingList()
{
    ExitSave::run(QApplication::activeWindow());
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
        Windows::setUserGone(true);
        // A modal window (the first-time notice, a message box, the review dialog)
        // runs an event loop of its own and would keep the program waiting for a
        // user who is gone. During start-up, ending it lets the start-up finish
        // without opening the notes and notices it would still show, and run() then
        // ends instead of showing the main window.
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
        if (MainWindow *main = Windows::existing<MainWindow>())
            main->close();
        savePendingList();
        QApplication::quit();
    });
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp,
                     [](QSessionManager &) { savePendingList(); });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, savePendingList);
}

std::optional<int> answerCommandLine(int argc, char *argv[])
{
    CommandLine commandLine(
        QStringLiteral("numbrill"), QStringLiteral(NUMBRILL_VERSION),
        QStringLiteral("Helps you memorise long numbers with the phonetic number code: type a\n"
                       "number, pick memory words for it, store the chain and practise."),
        QString());
    // QApplication takes these from the arguments itself.
    const char *qtValueOptions[] = {"platform",
                                    "platformpluginpath",
                                    "platformtheme",
                                    "plugin",
                                    "qwindowgeometry",
                                    "qwindowicon",
                                    "qwindowtitle",
                                    "display",
                                    "geometry",
                                    "style",
                                    "stylesheet",
                                    "session",
                                    "name",
                                    "title",
                                    "visual",
                                    "qmljsdebugger"};
    const char *qtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
    for (const char *name : qtValueOptions) {
        QCommandLineOption option(QLatin1String(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        commandLine.parser().addOption(option);
    }
    for (const char *name : qtFlags) {
        QCommandLineOption option{QString(QLatin1String(name))};
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        commandLine.parser().addOption(option);
    }
    commandLine.parser().setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    return commandLine.parse(CommandLine::argumentsOf(argc, argv), 0);
}

QString registerItself()
{
    const QString installed = Registry::GetRegValue(QLatin1String(AppInfo::settingsPath),
                                                    QLatin1String(AppInfo::installDirSetting));
    if (installed != QLatin1String(Registry::unknownValue))
        return {};
    const QString own = Installation::ownFolder();
    if (!QFile::exists(own + QStringLiteral("/data/num1.db")))
        return {};
    return Installation::registerAt(own, Installation::systemWide());
}

int run()
{
    Windows::setUserGone(false);
    QApplication::setApplicationName(QStringLiteral("Numbrill"));
    QApplication::setApplicationVersion(QStringLiteral(NUMBRILL_VERSION));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.numbrill"));
    loadNumbrillResources();
    QApplication::setStyle(new PicturesOnDemandStyle);
    // Given once the event loop runs: the first window is on the screen a moment
    // sooner, and the desktop shows the icon from when it is given.
    QTimer::singleShot(0, qApp, [] {
        QApplication::setWindowIcon(Pictures::drawn(QStringLiteral("numbrill"), {16, 32, 48, 64}));
    });

    // A package is installed for everyone; each user who starts it is set up at once.
    if (Installation::systemWide()) {
        const QString problem = registerItself();
        if (!problem.isEmpty())
            MessageBox::inform(nullptr,
                               QApplication::translate("Program",
                                                       "Numbrill could not set itself up for "
                                                       "you: %1")
                                   .arg(problem),
                               QMessageBox::Warning);
    }

    const std::unique_ptr<QLockFile> lock = lockInstallation();
    if (!lock) {
        MessageBox::inform(nullptr,
                           QApplication::translate("Program",
                                                   "Numbrill is already running. Please use the "
                                                   "window that is open."),
                           QMessageBox::Information);
        return 1;
    }

    installShutdownHandlers();
    // The list comes first: the windows ask it for the remembered numbers.
    RememberedNumbers *numbers = RememberedNumbers::instance();
    MainWindow *main = Windows::instance<MainWindow>();
    int result = 0;
    if (Windows::userGone()) {
        savePendingList();
    } else {
        main->show();
        result = QApplication::exec();
    }
    const bool unsaved = numbers->discarded();
    Windows::releaseAll();
    RememberedNumbers::release();
    // Whoever started the program learns that changes were thrown away.
    return unsaved && result == 0 ? 1 : result;
}

} // namespace Program
