#include "TestInstallation.h"
#include "app/Program.h"
#include "practice/QuizDialog.h"
#include "practice/WordTablesWindow.h"
#include "remembered/ReviewWindow.h"
#include "remembered/RememberedList.h"
#include "remembered/RememberedNumbers.h"
#include "settings/Installation.h"
#include "ui/Launcher.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"
#include "workspace/MainWindow.h"
#include "workspace/StoreDialog.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <csignal>
#include <memory>

// Drives the main window as a user would, against the fixture dictionary:
//   0: sea sow   1: tea toe   12: tan tin ton tuna   1234: tinmar   2: new
//   21: knot net   3: me   4: raw   9: bee pie   91: bat   914: butter
class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestInstallation> m_install;
    MainWindow *m_window = nullptr;
    QStringList m_launched;

    void start(const QByteArray &remembered = QByteArray(""))
    {
        m_install = std::make_unique<TestInstallation>(remembered);
        m_window = Windows::instance<MainWindow>();
        m_chainTester = std::make_unique<QAbstractItemModelTester>(
            child<QTreeView>("ListView2")->model(),
            QAbstractItemModelTester::FailureReportingMode::QtTest);
        m_window->show();
    }
    std::unique_ptr<QAbstractItemModelTester> m_chainTester;
    template <class T> T *child(const char *name) const { return m_window->findChild<T *>(name); }
    QLineEdit *box() const { return child<QLineEdit>("Text1"); }
    void click(const char *name)
    {
        QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton);
    }
    void trigger(const char *name) { m_window->findChild<QAction *>(name)->trigger(); }
    QStringList column(const char *list, int column) const
    {
        const QAbstractItemModel *model = child<QTreeView>(list)->model();
        QStringList texts;
        for (int row = 0; row < model->rowCount(); ++row)
            texts.append(model->index(row, column).data().toString());
        return texts;
    }

    // What the window offers, on one line: the number box, the chain, the candidates
    // with their counts, the enabled buttons and shown hints, whether the window is
    // expanded and the messages shown, e.g. "34 [tin] me | RemoveButton Label4 expanded".
    QString shown() const
    {
        QStringList line{box()->text(), u'[' + column("ListView2", 1).join(u' ') + u']'};
        const QStringList counts = column("ListView1", 0);
        const QStringList candidates = column("ListView1", 2);
        for (int i = 0; i < candidates.size(); ++i)
            line.append(candidates.at(i) +
                        (counts.at(i).isEmpty() ? QString() : u'#' + counts.at(i)));
        line.append(QStringLiteral("|"));
        for (const char *name :
             {"AddButton", "RemoveButton", "StoreButton", "SuggestButton", "Label4", "Label5"}) {
            if (child<QWidget>(name)->isEnabled() && child<QWidget>(name)->isVisible())
                line.append(QLatin1String(name));
        }
        if (m_window->heightTwips() == MainWindow::expandedHeight)
            line.append(QStringLiteral("expanded"));
        for (const MessageBox::Shown &message : MessageBox::shown())
            line << QStringLiteral("|") << message.text;
        return line.join(u' ').trimmed();
    }

    // On the text, where a user clicks, as far as the list shows it.
    void clickRow(const char *list, int row, int column)
    {
        auto *view = child<QTreeView>(list);
        const QRect rect = view->visualRect(view->model()->index(row, column));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          rect.intersected(view->viewport()->rect()).center());
    }

    // Presses Store; in the review dialog pastes the description and leaves by a button.
    // What the dialog showed is checked once it is gone, so that a failure cannot leave
    // it open.
    void store(const QString &button, const QString &description)
    {
        const QString words = u' ' + column("ListView2", 1).join(u' ');
        QStringList seen;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = Windows::existing<StoreDialog>();
            if (!dialog || !dialog->isVisible())
                return;
            auto *text = dialog->findChild<QLineEdit *>(QStringLiteral("Text1"));
            const QWidget *store = dialog->findChild<QPushButton *>(QStringLiteral("Store"));
            seen << dialog->findChild<QLabel *>(QStringLiteral("lbWords"))->text()
                 << QString::number(dialog->focusWidget() == store) << text->text();
            QApplication::clipboard()->setText(description);
            QTest::keySequence(text, QKeySequence::Paste);
            // A refused character typed inside the text leaves the cursor where it was.
            text->setCursorPosition(1);
            QTest::keyClicks(text, QStringLiteral(":"));
            seen << QString::number(text->cursorPosition() - std::min(1, int(text->text().size())));
            if (button == QLatin1String("close"))
                dialog->close();
            else
                QTest::mouseClick(dialog->findChild<QPushButton *>(button), Qt::LeftButton);
        });
        click("StoreButton");
        QCoreApplication::processEvents();
        // The words, the focus on Store, the description emptied, the cursor kept.
        QCOMPARE(seen, (QStringList{words, "1", "", "0"}));
    }

private Q_SLOTS:
    void init()
    {
        MessageBox::answerInstead(true);
        m_launched.clear();
        Launcher::setRecorder([this](const QString &url) { m_launched.append(url); });
    }

    void cleanup()
    {
        m_chainTester.reset();
        Windows::releaseAll();
        RememberedNumbers::release();
        m_window = nullptr;
        m_install.reset();
        Launcher::setRecorder({});
    }

    void buildChain_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QByteArray>("saved");

        // What the user does, step by step: keys typed into the number box (\b is
        // Backspace); "@N:text" pastes at position N (-1 the end); "+word" clicks a
        // candidate and presses ">>"; "-N" clicks chain row N and presses "<<";
        // the name of an action or a button triggers or clicks it; "Ctrl+key" presses a
        // shortcut; a search for words is waited for at "wait" and at the end; "store:button:text"
        // presses Store, pastes the description and leaves the review dialog by a button
        // ("close" closes it). `result` is what the window then shows; `saved` the new
        // line at the top of rv.db, at once and after the exit, or null where rv.db must
        // be left as it was. The remembered numbers have used tin 9 times, ton 10 times
        // (written TON) and tan once.
        const QString typing = QStringLiteral("| SuggestButton Label4 expanded");
        const QString all914 = "butter bat pie bee " + typing;
        const QString all12 = "tin#9 ton#10 tan#1 tuna toe tea " + typing;
        const QString complete = QStringLiteral("| RemoveButton StoreButton Label5 expanded");
        const QString added = QStringLiteral("| RemoveButton SuggestButton Label4 expanded");
        // Right after a suggestion Suggest Words offers another chain.
        const QString suggested =
            QStringLiteral("| RemoveButton StoreButton SuggestButton Label5 expanded");
        const QString again = QStringLiteral("|wait|SuggestWords");
        const QString onlyNumbers = QStringLiteral(" | Please enter only numbers.");
        const QString chosen = QStringLiteral("123|+tin|+me|store:");
        const auto row = [](const char *name, const QString &script, const QString &result,
                            const QByteArray &saved = {}) {
            QTest::newRow(name) << script << result << saved;
        };
        row("last digit deleted", "914\b", "91 [] bat pie bee " + typing);
        row("edited inside", "94|@1:1", "914 [] " + all914);
        row("typed letter; counts compared as text", "12a", "12 [] " + all12 + onlyNumbers);
        row("pasted mixed text: one message", "9|@-1:1a4bcd", "914 [] " + all914 + onlyNumbers);
        row("cleared", "12\b\b", "[] | Label4 expanded");
        row("add part of the number", "1234|+tin", "34 [tin] me " + added);
        row("remove a middle row", "1234|+tin|+me|+raw|-1", "34 [tin] me " + typing);
        row("suggest: one word beats two", "12341234|Ctrl+Return", "[tinmar tinmar] " + suggested);
        row("suggest: chosen stay, most used", "912|+bee|Ctrl+Enter", "[bee ton] " + suggested);
        row("suggest: uncovered rest stays", "12375|SuggestButton", "75 [ton me] " + added);
        row("suggest: no record for 99", "999|SuggestWords", "[baobab] " + suggested);
        row("suggest: keys past 3 digits", "12401234|SuggestWords", "[tenors tinmar] " + suggested);
        row("suggest: a used word first", "212|SuggestWords", "[new ton] " + suggested);
        row("suggest: tie, longer part first", "0001|SuggestWords", "[seas sow toe] " + suggested);
        row("suggest: as far as it can", "9140127|SuggestWords", "7 [butters ton] " + added);
        row("suggest: no word at all", "8|SuggestWords", "8 [] " + typing);
        row("suggest: second press", "1212|SuggestWords" + again, "[ton tin] " + suggested);
        row("suggest: sixth press, the first again", "1212|SuggestWords" + again.repeated(5),
            "[ton ton] " + suggested);
        row("suggest: chosen before stay", "91212|+bee|SuggestWords" + again,
            "[bee ton tin] " + suggested);
        row("suggest: << takes back the last link", "1212|SuggestWords" + again + "|RemoveButton",
            "12 [ton] tin#9 ton#10 tan#1 tuna toe tea " + added);
        row("suggest: no other chain after a link by hand",
            "1212|SuggestWords|wait|RemoveButton|+tuna|SuggestWords", "[ton tuna] " + complete);
        row("suggest: stale result dropped", "123|SuggestWords|4", "1234 [] tinmar " + all12);
        row("store: quote and colon dropped, code page letters kept",
            chosen + "Store:a\"b:c caf\u00e9 \"\u20ac\"", "[] | Label5",
            "\"123:abc caf\xe9 \x80: tin me\"\r\n");
        row("store: a paste loses only what cannot be written",
            chosen + "Store:pi \u03c0 day 10:30 \U0001F600!", "[] | Label5",
            "\"123:pi  day 1030 !: tin me\"\r\n");
        row("store: empty description", chosen + "Store:", "[] | Label5", "\"123:: tin me\"\r\n");
        row("store: forget it", chosen + "Command1:half typed", "[] | Label5");
        row("store: back, then closed",
            chosen + "Command2:half typed|store:close:", "[tin me] " + complete);
    }

    void buildChain()
    {
        QFETCH(QString, script);
        QFETCH(QString, result);
        QFETCH(QByteArray, saved);

        // Line ends the program would not write show that the file was not rewritten.
        const QByteArray before = "\"12:z:tan\"\n" + QByteArray("\"12:z:tin\"\n").repeated(9) +
                                  QByteArray("\"12:z:TON\"\n").repeated(10);
        start(before);
        for (const QString &step : script.split(u'|')) {
            if (step.startsWith(u'@')) {
                if (const int cursor = step.section(u':', 0, 0).mid(1).toInt(); cursor >= 0)
                    box()->setCursorPosition(cursor);
                box()->insert(step.section(u':', 1));
            } else if (step.startsWith(u'+') || step.startsWith(u'-')) {
                const bool add = step.startsWith(u'+');
                const qsizetype row =
                    add ? column("ListView1", 2).indexOf(step.mid(1)) : step.mid(1).toInt();
                clickRow(add ? "ListView1" : "ListView2", int(row), add ? 2 : 0);
                click(add ? "AddButton" : "RemoveButton");
                // Typing goes on at the end of the number.
                QCOMPARE(m_window->focusWidget(), box());
                QCOMPARE(box()->cursorPosition(), box()->text().size());
            } else if (step == QLatin1String("wait")) {
                QTRY_VERIFY(!m_window->findChild<QThread *>());
            } else if (step.startsWith(QLatin1String("store:"))) {
                store(step.section(u':', 1, 1), step.section(u':', 2));
            } else if (auto *action = m_window->findChild<QAction *>(step)) {
                action->trigger();
            } else if (auto *button = m_window->findChild<QAbstractButton *>(step)) {
                QTest::mouseClick(button, Qt::LeftButton);
            } else if (step.startsWith(QLatin1String("Ctrl+"))) {
                // Shortcuts reach only the active window.
                m_window->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(m_window));
                QTest::keySequence(box(), QKeySequence(step));
            } else {
                QTest::keyClicks(box(), step);
            }
        }

        QTRY_VERIFY(!m_window->findChild<QThread *>());
        QCOMPARE(shown(), result);
        const QByteArray rewritten = saved + QByteArray(before).replace("\n", "\r\n");
        QCOMPARE(m_install->read(QStringLiteral("rv.db")), saved.isNull() ? before : rewritten);
        // Both lists show all their columns, with no sideways scrolling.
        for (const char *name : {"ListView1", "ListView2"})
            QCOMPARE(child<QTreeView>(name)->horizontalScrollBar()->maximum(), 0);
        // Without a selected row "<<", where it may act, takes back the last link only.
        QStringList chain = column("ListView2", 1);
        if (child<QWidget>("RemoveButton")->isEnabled())
            chain.removeLast();
        click("RemoveButton");
        QCOMPARE(column("ListView2", 1), chain);
        m_window->close();
        QCOMPARE(m_install->read(QStringLiteral("rv.db")), saved.isNull() ? before : rewritten);
        QCOMPARE(QFile::exists(m_install->dataFile(QStringLiteral("rv2.db"))), !saved.isNull());
    }

    // A long list is read while the window already takes keys; the candidates on show
    // get their counts, and their ranking, once it is there.
    void countsArriveWithALongList()
    {
        const qsizetype usual = RememberedNumbers::longList();
        RememberedNumbers::setLongList(1000);
        const auto restore = qScopeGuard([usual] { RememberedNumbers::setLongList(usual); });
        start("\"12:b: tin\"\r\n" + QByteArray("\"12:a: ton\"\r\n").repeated(30000));
        QTest::keyClicks(box(), QStringLiteral("12"));
        QVERIFY(RememberedNumbers::instance()->isLoading());
        // A candidate chosen meanwhile stays chosen for ">>".
        clickRow("ListView1", int(column("ListView1", 2).indexOf(QStringLiteral("tuna"))), 2);
        QTRY_VERIFY(!RememberedNumbers::instance()->isBusy());
        QCOMPARE(shown(), "12 [] ton#30000 tin#1 tuna tan toe tea | AddButton SuggestButton "
                          "Label4 expanded");
        click("AddButton");
        QCOMPARE(column("ListView2", 1), QStringList{QStringLiteral("tuna")});
    }

    // Without a registered installation there is neither a dictionary nor a data
    // folder: one message says so, and a store reports that it could not be saved
    // instead of writing into a folder below the current one.
    void withoutAnInstallation()
    {
        m_install = std::make_unique<TestInstallation>(QByteArray(""), false);
        // Settings of their own, which no installation has written to.
        const QByteArray settings = qgetenv("XDG_CONFIG_HOME");
        QTemporaryDir emptySettings;
        const QString workingDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(emptySettings.path()) && QDir().mkpath("Unknown/data"));
        qputenv("XDG_CONFIG_HOME", emptySettings.path().toLocal8Bit());
        Registry::SetRegValue(QLatin1String(AppInfo::settingsPath), "firsttime", "no");
        const QString settingsFile = Registry::location(QLatin1String(AppInfo::settingsPath));
        m_window = Windows::instance<MainWindow>();
        m_window->show();
        const std::unique_ptr<QLockFile> lock = Program::lockInstallation();
        qputenv("XDG_CONFIG_HOME", settings);
        QTest::keyClicks(box(), QStringLiteral("12"));
        RememberedNumbers::instance()->store(
            {QString(), QStringLiteral("desk"), QStringLiteral(" me")});

        QCOMPARE(MessageBox::shown().size(), 2);
        const QString text = MessageBox::shown().first().text;
        for (const QString &name : {QStringLiteral("numbrill-register"), settingsFile})
            QVERIFY2(text.contains(name) && !text.contains(u"Unknown"), qPrintable(text));
        QVERIFY(MessageBox::shown().last().text.contains(
            "No data folder is set for the remembered numbers."));
        QVERIFY(lock && !lock->isLocked());
        QVERIFY(QDir(QStringLiteral("Unknown/data")).isEmpty());
        QVERIFY(QDir::setCurrent(workingDir));
    }

    // Every menu command and toolbar button reaches its window, or its address.
    void commandsOpenTheirWindows()
    {
        start("\"1:zebra:tea\"\r\n");
        // The pictures are compiled in, and drawn afresh for a high-dpi screen rather
        // than blown up from 36 pixels; a button without one would be blank.
        for (const char *name : {"Command2", "Command3", "SuggestButton", "StoreButton"})
            QCOMPARE(child<QToolButton>(name)->icon().pixmap(QSize(36, 36), 2.0).size(),
                     QSize(72, 72));

        trigger("onetohundred");
        WordTablesWindow *table = Windows::existing<WordTablesWindow>();
        QVERIFY(table && table->isVisible() && table->windowTitle() == QLatin1String("1-100"));

        QTimer::singleShot(0, this, [] {
            QVERIFY(QApplication::activeModalWidget() == Windows::existing<QuizDialog>());
            Windows::existing<QuizDialog>()->close();
        });
        click("Command4");
        // Closing the quiz unloaded the remembered numbers; Review loads them again.
        QVERIFY(!RememberedNumbers::instance()->isLoaded());
        click("Command5");
        QVERIFY(Windows::existing<ReviewWindow>()->isVisible() &&
                RememberedNumbers::instance()->isLoaded());

        // Closing the main window leaves the table open.
        m_window->close();
        QVERIFY(table->isVisible() && !Windows::existing<ReviewWindow>()->isVisible());

        // The manual's address keeps the installation folder as it is stored.
        Registry::SetRegValue(m_window->path, "instaldir", "C:\\Program Files/numbrill");
        trigger("manual");
        trigger("feedback");
        QCOMPARE(m_launched, (QStringList{"file://C:\\Program Files/numbrill/docs/numbrill.htm",
                                          NUMBRILL_WEBSITE "/contactus.php"}));
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // The list windows open at their stored size, kept within the screen and their
    // least size; their lists grow with them, and the next window, even in the next
    // run, opens at the size this one had.
    void listWindowsGrow()
    {
        // Before the start, which makes the remembered numbers' window.
        const QString settings = QLatin1String(AppInfo::settingsPath);
        Registry::SetRegValue(settings, AppInfo::reviewSizeSetting, "300x200");
        Registry::SetRegValue(settings, AppInfo::mostUsedSizeSetting, "12000x500");
        start("\"4155552671234567:card:tea\"\r\n");
        // The review window's least size is taller than the 800x600 test screen.
        const struct
        {
            const char *command;
            QSize opens, grown;
            // The column that shares out the width: the review window's Value column
            // keeps room for 16 digits, its Description column grows.
            int growing;
        } cases[] = {{"Review", {703, 637}, {40, 20}, 1},
                     {"MostUsedMenu", {800, 500}, {-100, 0}, 0}};
        for (const auto &[command, opens, grown, growing] : cases) {
            const auto open = [&, command = command]() -> QWidget * {
                trigger(command);
                if (qstrcmp(command, "Review") == 0)
                    return Windows::existing<ReviewWindow>();
                return Windows::existing<WordTablesWindow>();
            };
            QWidget *window = open();
            QCOMPARE(window->size(), opens);
            auto *list = window->findChild<QTreeView *>(QStringLiteral("ListView1"));
            const QSize listBefore = list->size();
            const int columnBefore = list->columnWidth(growing);
            // A number of 16 digits shows whole in the review window.
            if (growing == 1)
                QVERIFY(static_cast<QAbstractItemView *>(list)->sizeHintForColumn(0) <=
                        list->columnWidth(0));
            window->resize(opens + grown);
            QCOMPARE(list->size() - listBefore, grown);
            QCOMPARE(list->columnWidth(growing) > columnBefore, grown.width() > 0);
            QTRY_COMPARE(list->horizontalScrollBar()->maximum(), 0);
            window->close();
            delete window;
            QCOMPARE(open()->size(), opens + grown);
        }
    }

    // Where a stored number goes: beside the dictionary as always, or in a data folder
    // of the user's own. One that cannot be written is named at the start, and the
    // number stays in the list while nothing on disk changes.
    void dataFolders_data()
    {
        QTest::addColumn<QString>("datadir");
        QTest::addColumn<QByteArray>("listBefore");
        QTest::addColumn<bool>("writable");

        const QString perUser = QStringLiteral("per-user");
        // "per-user": the installation registered as a package registers itself.
        QTest::newRow("per-user install, as today") << QString() << QByteArray() << true;
        QTest::newRow("package, read-only install") << perUser << QByteArray() << true;
        QTest::newRow("package upgraded, list kept")
            << perUser << QByteArray("\"9:old:bee\"\r\n") << true;
        QTest::newRow("datadir removed by the user")
            << QStringLiteral("gone/numbrill") << QByteArray() << true;
        QTest::newRow("datadir that cannot be written")
            << QStringLiteral("data/rv.db/numbrill") << QByteArray() << false;
    }

    void dataFolders()
    {
        QFETCH(QString, datadir);
        QFETCH(QByteArray, listBefore);
        QFETCH(bool, writable);

        m_install = std::make_unique<TestInstallation>(QByteArray(""));
        QString folder = m_install->dataFile(QString()).chopped(1);
        const QString key = QLatin1String(AppInfo::settingsPath);
        if (datadir == u"per-user") {
            folder = Installation::perUserDataFolder();
            QDir(folder).removeRecursively();
            QVERIFY(QDir().mkpath(folder));
            QFile list(folder + QStringLiteral("/rv.db"));
            QVERIFY(listBefore.isEmpty() || (list.open(QIODevice::WriteOnly) &&
                                             list.write(listBefore) == listBefore.size()));
            list.close();
            // Installed for everyone: the dictionary's folder is not the user's.
            QFile::remove(m_install->dataFile(QStringLiteral("rv.db")));
            QCOMPARE(Installation::registerAt(m_install->path(), true), QString());
        } else if (!datadir.isEmpty()) {
            folder = m_install->path() + u'/' + datadir;
            Registry::SetRegValue(key, QLatin1String(AppInfo::dataDirSetting), folder);
        }
        const QString installed = m_install->dataFile(QStringLiteral("rv.db"));
        const bool besideDictionary = QFile::exists(installed);

        m_window = Windows::instance<MainWindow>();
        m_window->show();
        QCOMPARE(Installation::dataFolder(), folder);
        QCOMPARE(MessageBox::shown().isEmpty(), writable);
        if (!writable)
            QVERIFY2(MessageBox::shown().first().text.contains(QDir::toNativeSeparators(folder)),
                     qPrintable(MessageBox::shown().first().text));
        QTest::keyClicks(box(), QStringLiteral("12"));
        clickRow("ListView1", int(column("ListView1", 2).indexOf(QStringLiteral("tin"))), 2);
        click("AddButton");
        store(QStringLiteral("Store"), QStringLiteral("desk"));

        QFile list(folder + QStringLiteral("/rv.db"));
        QCOMPARE(list.open(QIODevice::ReadOnly) ? list.readAll() : QByteArray("none"),
                 writable ? "\"12:desk: tin\"\r\n" + listBefore : QByteArray("none"));
        QCOMPARE(RememberedNumbers::instance()->entryCount(), 1 + listBefore.count('\n'));
        // The installation's own folder keeps what it had, and gains no list.
        QCOMPARE(QFile::exists(installed), besideDictionary);
        if (besideDictionary && folder != QFileInfo(installed).path())
            QCOMPARE(m_install->read(QStringLiteral("rv.db")), QByteArray(""));
        MessageBox::queueAnswer(QMessageBox::Discard);
        m_window->close();
    }

    // The main window grows, its lists taking the room; at its designed size long
    // words already show whole in both lists. Its size is kept for the next run.
    void mainWindowShowsLongWords_data()
    {
        QTest::addColumn<QSize>("grown");
        QTest::newRow("designed size") << QSize(0, 0);
        QTest::newRow("enlarged") << QSize(150, 100);
    }

    void mainWindowShowsLongWords()
    {
        QFETCH(QSize, grown);
        // The shipped dictionary, with the long words a user meets.
        m_install = std::make_unique<TestInstallation>(QByteArray(""), false);
        for (const char *name : {"num1.db", "num.db"}) {
            QFile shipped(QString::fromUtf8(TestPaths::buildShareDir) + "/data/" + name);
            QVERIFY(shipped.open(QIODevice::ReadOnly) && m_install->write(name, shipped.readAll()));
        }
        m_window = Windows::instance<MainWindow>();
        m_window->show();
        QTest::keyClicks(box(), QStringLiteral("3"));
        const QSize designed = m_window->size();
        const QSize listBefore = child<QTreeView>("ListView1")->size();
        m_window->resize(designed + grown);
        QCOMPARE(m_window->size(), designed + grown);
        QCOMPARE(child<QTreeView>("ListView1")->size(),
                 listBefore + QSize(grown.width() / 2, grown.height()));
        QTest::keyClick(box(), Qt::Key_Backspace);

        const struct
        {
            const char *digits, *word;
        } words[] = {{"31415", "immoderately"},
                     {"323", "ammonium"},
                     {"32795", "municipal"},
                     {"3264326", "monogramming"}};
        for (const auto &[digits, word] : words) {
            QTest::keyClicks(box(), QLatin1String(digits));
            const qsizetype row = column("ListView1", 2).indexOf(QLatin1String(word));
            QVERIFY2(row >= 0, word);
            clickRow("ListView1", int(row), 2);
            QCoreApplication::processEvents();
            QCOMPARE(child<QTreeView>("ListView1")->horizontalScrollBar()->maximum(), 0);
            click("AddButton");
        }
        QCoreApplication::processEvents();
        QCOMPARE(column("ListView2", 1),
                 (QStringList{"immoderately", "ammonium", "municipal", "monogramming"}));
        QCOMPARE(child<QTreeView>("ListView2")->horizontalScrollBar()->maximum(), 0);

        m_window->close();
        cleanup();
        start();
        QTest::keyClicks(box(), QStringLiteral("3"));
        QCOMPARE(m_window->size(), designed + grown);
    }

    // The list is saved however the run ends, and one installation serves one copy.
    void endOfTheRun()
    {
        start();
        {
            const std::unique_ptr<QLockFile> first = Program::lockInstallation();
            QVERIFY(first && first->isLocked() && !Program::lockInstallation());
        }
        Program::installShutdownHandlers();
        RememberedNumbers::instance()->store(
            {QString(), QStringLiteral("desk"), QStringLiteral(" me")});
        std::raise(SIGTERM);
        QTRY_COMPARE(m_install->read(QStringLiteral("rv.db")), QByteArray("\":desk: me\"\r\n"));
        cleanup();

        // Quitting without saving after a failed save is reported to whoever started
        // the program, after one box for the failure during the run and one at exit.
        m_install = std::make_unique<TestInstallation>(QByteArray(""));
        QVERIFY(QDir().mkpath(m_install->dataFile(QStringLiteral("rv2.db"))));
        QTimer::singleShot(0, this, [] {
            RememberedNumbers::instance()->store(
                {QString(), QStringLiteral("desk"), QStringLiteral(" me")});
            MessageBox::queueAnswer(QMessageBox::Discard);
            Windows::existing<MainWindow>()->close();
        });
        QCOMPARE(Program::run(), 1);
        QCOMPARE(MessageBox::shown().size(), 2);
        QCOMPARE(m_install->read(QStringLiteral("rv.db")), QByteArray(""));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
