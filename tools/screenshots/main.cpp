// numbrill-screenshots: opens every window of the program with a little content in it
// and saves a picture of each, for a person to look at; run it once per
// QT_SCALE_FACTOR to see the windows on a high-dpi screen. It also names every caption
// that its window's fonts cut off.
//
//   numbrill-screenshots SHAREDIR OUTDIR PREFIX
//
// SHAREDIR holds data/num1.db and data/num.db (the build's share/numbrill will do).
// The pictures are OUTDIR/PREFIX-<window>.png; the exit status is 3 when a caption is
// cut off. Settings and remembered numbers live in
// a temporary folder for the run, so the user's own are never touched.

#include "core/AppInfo.h"
#include "drills/DrillHub.h"
#include "drills/FlashDrillWindow.h"
#include "drills/ImagesDrillWindow.h"
#include "drills/SpeedNumbersWindow.h"
#include "help/FirstTime.h"
#include "help/NumberMapping.h"
#include "help/AboutDialog.h"
#include "images/MyImagesWindow.h"
#include "practice/QuizDialog.h"
#include "practice/WordTablesWindow.h"
#include "recall/RecallStatisticsWindow.h"
#include "recall/RecallWindow.h"
#include "remembered/ReviewWindow.h"
#include "settings/Registry.h"
#include "ui/MessageBox.h"
#include "ui/TextFit.h"
#include "ui/Windows.h"
#include "workspace/MainWindow.h"
#include "workspace/StoreDialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeWidget>

namespace {

const char rememberedNumbers[] = "\"3141592:Pi to seven places: meter tail pan\"\r\n"
                                 "\"0123:Office door code: stone mow\"\r\n"
                                 "\"4155552671:Dentist's phone: rattle lily lion shock\"\r\n"
                                 "\"1:Lucky number: tea\"\r\n";

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// Picks the candidate `word` and presses ">>", as a user would.
void choose(MainWindow *main, const QString &word)
{
    auto *candidates = main->findChild<QTreeWidget *>(QStringLiteral("ListView1"));
    const QList<QTreeWidgetItem *> found = candidates->findItems(word, Qt::MatchExactly, 2);
    if (found.isEmpty())
        return;
    candidates->setCurrentItem(found.first());
    // A click on the list is what lets ">>" act.
    const QPoint at = candidates->visualItemRect(found.first()).center();
    QMouseEvent release(QEvent::MouseButtonRelease, at, candidates->viewport()->mapToGlobal(at),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(candidates->viewport(), &release);
    main->findChild<QPushButton *>(QStringLiteral("AddButton"))->click();
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.path()));
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 3) {
        err << "usage: numbrill-screenshots SHAREDIR OUTDIR PREFIX\n";
        return 2;
    }
    const QString shareDir = args.at(0);
    const QDir outDir(args.at(1));
    const QString prefix = args.at(2);

    const QString installDir = home.filePath(QStringLiteral("install"));
    QDir().mkpath(installDir + QStringLiteral("/data"));
    for (const char *name : {"/data/num1.db", "/data/num.db"}) {
        if (!QFile::copy(shareDir + QLatin1String(name), installDir + QLatin1String(name))) {
            err << "numbrill-screenshots: no " << shareDir << name << "\n";
            return 1;
        }
    }
    QFile list(installDir + QStringLiteral("/data/rv.db"));
    if (!list.open(QIODevice::WriteOnly) || list.write(rememberedNumbers) < 0)
        return 1;
    list.close();
    const QString settings = QLatin1String(AppInfo::settingsPath);
    Registry::SetRegValue(settings, QLatin1String(AppInfo::installDirSetting), installDir);
    Registry::SetRegValue(settings, QLatin1String(AppInfo::firstTimeSetting), QStringLiteral("no"));
    // A message would wait for an answer no one gives.
    MessageBox::answerInstead(true);

    int clipped = 0;
    const auto shoot = [&](QWidget *window, const char *name) {
        window->show();
        window->raise();
        settle();
        const QString file =
            outDir.filePath(prefix + u'-' + QLatin1String(name) + QStringLiteral(".png"));
        if (!window->grab().save(file)) {
            err << "numbrill-screenshots: cannot write " << file << "\n";
            return;
        }
        out << file << "\n";
        for (const QString &problem : TextFit::clipped(window)) {
            out << "  clipped " << problem << "\n";
            ++clipped;
        }
    };

    MainWindow *main = Windows::instance<MainWindow>();
    shoot(main, "main");
    main->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("3141592"));
    choose(main, QStringLiteral("meter"));
    shoot(main, "main-expanded");
    choose(main, QStringLiteral("tail"));
    choose(main, QStringLiteral("pan"));
    shoot(main, "main-complete");

    StoreDialog *review = Windows::instance<StoreDialog>();
    review->setwords(main->getwords());
    shoot(review, "store");
    review->hide();

    // Long words, at the designed size and enlarged: both lists must show them whole.
    auto *box = main->findChild<QLineEdit *>(QStringLiteral("Text1"));
    for (const auto &[digits, word] :
         {std::pair{"31415", "immoderately"}, std::pair{"323", "ammonium"}}) {
        box->setText(QLatin1String(digits));
        choose(main, QLatin1String(word));
    }
    box->setText(QStringLiteral("32795"));
    for (const char *name : {"main-longwords", "main-enlarged"}) {
        if (qstrcmp(name, "main-enlarged") == 0)
            main->resize(main->size() + QSize(240, 160));
        shoot(main, name);
        for (auto *list : main->findChildren<QTreeView *>()) {
            if (list->isVisible() && list->horizontalScrollBar()->maximum() > 0) {
                out << "  scrolls sideways " << list->objectName() << "\n";
                ++clipped;
            }
        }
    }

    ReviewWindow *remembered = Windows::instance<ReviewWindow>();
    remembered->load();
    shoot(remembered, "review");
    remembered->hide();

    // The first number due, answered with a wrong digit.
    auto *recall = Windows::instance<RecallWindow>();
    shoot(recall, "recall");
    auto *answer = recall->findChild<QLineEdit *>(QStringLiteral("answerEdit"));
    answer->setText(QStringLiteral("10"));
    emit answer->returnPressed();
    shoot(recall, "recall-judged");
    recall->hide();
    shoot(Windows::instance<RecallStatisticsWindow>(), "recallstats");
    Windows::instance<RecallStatisticsWindow>()
        ->findChild<QTabWidget *>(QStringLiteral("statisticsTabs"))
        ->setCurrentIndex(1);
    shoot(Windows::instance<RecallStatisticsWindow>(), "recallstats-drills");
    Windows::instance<RecallStatisticsWindow>()->hide();

    // The drills, with a few images of the user's.
    DrillHub::setImageSource([] {
        DrillImages images;
        for (const char *pair : {"27=ink", "31=mat", "42=rain", "314=meter", "7=cow"})
            images.byKey.insert(QString::fromLatin1(pair).section(u'=', 0, 0),
                                QString::fromLatin1(pair).section(u'=', 1));
        return images;
    });
    auto *imagesDrill = Windows::instance<ImagesDrillWindow>();
    shoot(imagesDrill, "drill-images");
    imagesDrill->hide();
    auto *speed = Windows::instance<SpeedNumbersWindow>();
    shoot(speed, "drill-speed");
    speed->findChild<QPushButton *>(QStringLiteral("startButton"))->click();
    shoot(speed, "drill-speed-memorise");
    speed->hide();
    auto *flash = Windows::instance<FlashDrillWindow>();
    flash->show();
    flash->findChild<QPushButton *>(QStringLiteral("startButton"))->click();
    shoot(flash, "drill-flash");
    flash->hide();

    WordTablesWindow *tables = Windows::instance<WordTablesWindow>();
    tables->show();
    tables->Populate();
    shoot(tables, "pegwords");
    tables->PopulateMost();
    shoot(tables, "mostused");
    tables->hide();

    auto *images = Windows::instance<MyImagesWindow>();
    images->open();
    shoot(images, "myimages");
    images->hide();

    shoot(Windows::instance<NumberMapping>(), "legend");
    shoot(Windows::instance<AboutDialog>(), "about");
    shoot(Windows::instance<FirstTime>(), "firsttime");
    shoot(Windows::instance<QuizDialog>(), "quiz");

    Windows::releaseAll();
    if (clipped == 0)
        return 0;
    err << "numbrill-screenshots: " << clipped << " clipped caption(s)\n";
    return 3;
}
