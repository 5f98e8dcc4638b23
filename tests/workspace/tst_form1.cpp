#include "TestInstallation.h"
#include "app/Program.h"
#include "practice/Form4.h"
#include "practice/MostUsed.h"
#include "remembered/Form3.h"
#include "remembered/RememberedList.h"
#include "ui/Launcher.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"
#include "workspace/Form1.h"
#include "workspace/Preparetostore.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

#include <csignal>
#include <cstdio>
#include <memory>

// Drives the main window as a user would, against the fixture dictionary:
//   0: sea sow   1: tea toe   12: tan tin ton tuna   1234: tinmar   2: new
//   21: knot net   3: me   4: raw   9: bee pie   91: bat   914: butter
// The ranking rules and the chain are tested on their own in tst_candidates.
class TestForm1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void buildChain_data();
    void buildChain();
    void countsArriveWithALongList();
    void addActsOnlyOnAFittingSelectedCandidate();
    void storeFlow_data();
    void storeFlow();
    void missingDictionaryIsReportedOnce_data();
    void missingDictionaryIsReportedOnce();
    void launchAddresses_data();
    void launchAddresses();
    void toolsCommandsOpenTheirWindows();
    void listWindowsGrow_data();
    void listWindowsGrow();
    void secondCopyIsRefused();
    void signalSavesTheList();
    void quitWithoutSavingEndsWithFailure();

private:
    void start(const QByteArray &remembered = QByteArray(""), bool withDictionary = true);
    QStringList candidates(int column = 2) const;
    QStringList chain() const;
    QString state() const;
    void clickCandidate(const QString &word);
    void choose(const QStringList &words);
    void storeWith(const std::function<void(Preparetostore *)> &inDialog);
    void suggest(const QString &how);
    template <class T> T *child(const char *name) const { return m_window->findChild<T *>(name); }
    QLineEdit *box() const { return child<QLineEdit>("Text1"); }
    void click(const char *name)
    {
        QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton);
    }

    std::unique_ptr<TestInstallation> m_install;
    Form1 *m_window = nullptr;
    QStringList m_launched;
};

void TestForm1::init()
{
    MessageBox::answerInstead(true);
    m_launched.clear();
    Launcher::setRecorder([this](const QString &url) { m_launched.append(url); });
}

void TestForm1::cleanup()
{
    Windows::releaseAll();
    m_window = nullptr;
    m_install.reset();
    Launcher::setRecorder({});
}

void TestForm1::start(const QByteArray &remembered, bool withDictionary)
{
    m_install = std::make_unique<TestInstallation>(remembered, withDictionary);
    m_window = Windows::instance<Form1>();
    m_window->show();
}

QStringList TestForm1::candidates(int column) const
{
    const auto *list = child<QTreeWidget>("ListView1");
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts.append(list->topLevelItem(row)->text(column));
    return texts;
}

// The chain as "value=word" rows.
QStringList TestForm1::chain() const
{
    const QAbstractItemModel *model = child<QTreeView>("ListView2")->model();
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row)
        rows.append(model->index(row, 0).data().toString() + u'=' +
                    model->index(row, 1).data().toString());
    return rows;
}

// What the user is offered: the enabled buttons, the step hints shown and whether
// the window is expanded, e.g. "Add step1 expanded".
QString TestForm1::state() const
{
    QStringList shown;
    for (const char *button : {"AddButton", "RemoveButton", "StoreButton"}) {
        if (child<QWidget>(button)->isEnabled())
            shown.append(QLatin1String(button).chopped(6));
    }
    if (child<QLabel>("Label4")->isVisible())
        shown.append(QStringLiteral("step1"));
    if (child<QLabel>("Label5")->isVisible())
        shown.append(QStringLiteral("step2"));
    if (m_window->heightTwips() == Form1::expandedHeight)
        shown.append(QStringLiteral("expanded"));
    return shown.join(u' ');
}

void TestForm1::clickCandidate(const QString &word)
{
    auto *list = child<QTreeWidget>("ListView1");
    const QList<QTreeWidgetItem *> found = list->findItems(word, Qt::MatchExactly, 2);
    QVERIFY(!found.isEmpty());
    // On the word, where a user clicks, as far as the list shows it.
    const QRect rect = list->visualRect(list->indexFromItem(found.first(), 2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      rect.intersected(list->viewport()->rect()).center());
    QVERIFY(child<QPushButton>("AddButton")->isEnabled());
}

// Builds the chain as a user does: click a candidate, press ">>", and again.
void TestForm1::choose(const QStringList &words)
{
    for (const QString &word : words) {
        clickCandidate(word);
        click("AddButton");
    }
}

// "Suggest Words" from the menu, the toolbar or a shortcut; the search itself runs
// on a thread of its own, whose end is not waited for here.
void TestForm1::suggest(const QString &how)
{
    if (how == QLatin1String("menu"))
        m_window->findChild<QAction *>(QStringLiteral("SuggestWords"))->trigger();
    else if (how == QLatin1String("button"))
        click("SuggestButton");
    else {
        // Shortcuts reach only the active window.
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        QTest::keyClick(box(), how == QLatin1String("Ctrl+Return") ? Qt::Key_Return : Qt::Key_Enter,
                        Qt::ControlModifier);
    }
}

void TestForm1::storeWith(const std::function<void(Preparetostore *)> &inDialog)
{
    bool answered = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = Windows::existing<Preparetostore>();
        QVERIFY(dialog && dialog->isVisible());
        inDialog(dialog);
        answered = true;
    });
    click("StoreButton");
    QVERIFY(answered);
}

void TestForm1::buildChain_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QStringList>("links");
    QTest::addColumn<QStringList>("top");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("warned");

    // What the user does, step by step: keys typed into the number box (\b is
    // Backspace); "@N:text" pastes at position N (-1 the end, -2 over the whole
    // number); "+word" clicks a candidate and presses ">>"; "-N" selects chain row N and
    // presses "<<"; "suggest:how" asks for Suggest Words from the menu, the button or a
    // shortcut without waiting; "wait" waits for the search to end.
    // `top` are the first candidates offered at the end.
    const QStringList all914{"butter", "bat", "pie", "bee"};
    const QStringList chosen{"12=tin", "3=me", "4=raw"};
    const QString typing = QStringLiteral("step1 expanded");
    const QString complete = QStringLiteral("Remove Store step2 expanded");
    const auto row = [](const char *name, const QString &script, const QString &number,
                        const QStringList &links, const QStringList &top, const QString &shown,
                        bool warned = false) {
        QTest::newRow(name) << script << number << links << top << shown << warned;
    };
    row("typed: longest part on top", "914", "914", {}, all914, typing);
    row("last digit deleted", "914\b", "91", {}, {"bat", "pie", "bee"}, typing);
    row("two digits deleted", "914\b\b", "9", {}, {"pie", "bee"}, typing);
    row("edited inside", "94|@1:1", "914", {}, all914, typing);
    row("typed letter", "12a", "12", {}, {"tuna", "ton", "tin", "tan", "toe", "tea"}, typing, true);
    row("pasted mixed text", "@-1:4x5y", "45", {}, {"raw"}, typing, true);
    row("pasted after a digit", "9|@-1:1a4bcd", "914", {}, all914, typing, true);
    row("cleared", "12|@-2:", "", {}, {}, typing);
    row("add part of the number", "1234|+tin", "34", {"12=tin"}, {"me"}, "Remove " + typing);
    row("add the rest of the number", "1234|+tinmar", "", {"1234=tinmar"}, {}, complete);
    row("remove the first row", "1234|+tin|+me|+raw|-0", "1234", {}, {"tinmar"}, typing);
    row("remove a middle row", "1234|+tin|+me|+raw|-1", "34", {"12=tin"}, {"me"}, typing);
    row("remove the last row", "1234|+tin|+me|+raw|-2", "4", chosen.mid(0, 2), {"raw"}, typing);
    row("suggest: whole number, fewest words", "12341234|suggest:Ctrl+Return|wait", "",
        {"1234=tinmar", "1234=tinmar"}, {}, complete);
    row("suggest: words chosen by hand stay", "912|+bee|suggest:Ctrl+Enter|wait", "",
        {"9=bee", "12=tuna"}, {}, complete);
    row("suggest: uncovered rest stays", "12375|suggest:button|wait", "75", {"12=tuna", "3=me"}, {},
        "Remove " + typing);
    row("suggest: nothing found", "75|suggest:menu|wait", "75", {}, {}, typing);
    row("suggest: stale result dropped", "123|suggest:menu|4|wait", "1234", {}, {"tinmar"}, typing);
    row("suggest: asked again for the new number", "123|suggest:button|4|suggest:button|wait", "",
        {"1234=tinmar"}, {}, complete);
}

void TestForm1::buildChain()
{
    QFETCH(QString, script);
    QFETCH(QString, number);
    QFETCH(QStringList, links);
    QFETCH(QStringList, top);
    QFETCH(QString, shown);
    QFETCH(bool, warned);

    start();
    const auto *suggestion = m_window->findChild<QAction *>(QStringLiteral("SuggestWords"));
    QVERIFY(!suggestion->isEnabled());
    // The pictures are compiled in, and drawn afresh for a high-dpi screen rather than
    // blown up from 36 pixels; a button without one would be blank.
    for (const char *name : {"Command2", "Command3", "SuggestButton", "StoreButton"})
        QCOMPARE(child<QToolButton>(name)->icon().pixmap(QSize(36, 36), 2.0).size(), QSize(72, 72));
    bool changedChain = false;
    for (const QString &step : script.split(u'|')) {
        if (step.startsWith(u'@')) {
            const int cursor = step.section(u':', 0, 0).mid(1).toInt();
            if (cursor == -2)
                box()->selectAll();
            else if (cursor >= 0)
                box()->setCursorPosition(cursor);
            box()->insert(step.section(u':', 1));
        } else if (step.startsWith(u'+')) {
            choose({step.mid(1)});
            changedChain = true;
        } else if (step.startsWith(u'-')) {
            auto *list = child<QTreeView>("ListView2");
            const QRect rect = list->visualRect(list->model()->index(step.mid(1).toInt(), 0));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
            click("RemoveButton");
            changedChain = true;
        } else if (step.startsWith(QLatin1String("suggest:"))) {
            suggest(step.mid(8));
        } else if (step == QLatin1String("wait")) {
            QTRY_VERIFY(!m_window->findChild<QThread *>());
        } else {
            QTest::keyClicks(box(), step);
        }
    }

    QCOMPARE(box()->text(), number);
    QCOMPARE(chain(), links);
    QCOMPARE(candidates().mid(0, top.size()), top);
    if (number.isEmpty())
        QVERIFY(candidates().isEmpty());
    QCOMPARE(state(), shown);
    QCOMPARE(suggestion->isEnabled(), !number.isEmpty());
    QCOMPARE(MessageBox::shown().size(), warned ? 1 : 0);
    if (warned)
        QCOMPARE(MessageBox::shown().first().text, QStringLiteral("Please enter only numbers."));
    if (!changedChain)
        return;
    // Both lists show all their columns, with no sideways scrolling, and typing goes on
    // at the end of the number.
    for (const char *name : {"ListView1", "ListView2"}) {
        const QScrollBar *sideways = child<QTreeView>(name)->horizontalScrollBar();
        QCOMPARE(sideways->value(), 0);
        QCOMPARE(sideways->maximum(), 0);
    }
    QCOMPARE(m_window->focusWidget(), box());
    QCOMPARE(box()->cursorPosition(), number.size());
    // Without a selected row "<<" takes nothing back.
    click("RemoveButton");
    QCOMPARE(chain(), links);
}

// A long list is read while the window already takes keys; the candidates on show
// get their counts, and their ranking, once it is there.
void TestForm1::countsArriveWithALongList()
{
    start("\"12:b: tin\"\r\n" + QByteArray("\"12:a: ton\"\r\n").repeated(30000));
    QTest::keyClicks(box(), QStringLiteral("12"));
    QVERIFY(Windows::existing<Form3>()->list()->isLoading());
    QTRY_COMPARE(candidates(0).mid(0, 2), (QStringList{"30000", "1"}));
    QCOMPARE(candidates().mid(0, 2), (QStringList{"ton", "tin"}));
}

void TestForm1::addActsOnlyOnAFittingSelectedCandidate()
{
    start();
    QTest::keyClicks(box(), QStringLiteral("9"));
    // A row left from before the number was edited: its digits no longer begin it.
    auto *list = child<QTreeWidget>("ListView1");
    list->insertTopLevelItem(0, new QTreeWidgetItem({QString(), "914", "butter"}));
    choose({QStringLiteral("butter")});
    QVERIFY(chain().isEmpty());
    QCOMPARE(box()->text(), QStringLiteral("9"));

    // The current row is not taken once it is no longer selected.
    clickCandidate(QStringLiteral("pie"));
    list->clearSelection();
    click("AddButton");
    QVERIFY(chain().isEmpty());
}

void TestForm1::storeFlow_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QByteArray>("saved");

    // The description is typed, then pasted to; the dialog is left by `button`. `saved`
    // is rv.db right after the dialog and on exit; a null one means the file is left
    // as it was and no rv2.db made.
    const QByteArray zebra("\"1:zebra:tea\"\r\n");
    QTest::newRow("Store: quote and colon dropped, code page letters kept")
        << "a\"b:c " << QByteArray("Store") << QStringLiteral("caf\u00e9 \"\u20ac\"")
        << "\"123:abc caf\xe9 \x80: tin me\"\r\n" + zebra;
    QTest::newRow("Store: paste outside the code page loses only that character")
        << "pi " << QByteArray("Store") << QStringLiteral("\u03c0 day \U0001F600!")
        << "\"123:pi  day !: tin me\"\r\n" + zebra;
    QTest::newRow("Store, empty description: paste with a colon")
        << QString() << QByteArray("Store") << "10:30"
        << "\"123:1030: tin me\"\r\n" + zebra;
    QTest::newRow("Forget it") << "half typed" << QByteArray("Command1") << QString()
                               << QByteArray();
    QTest::newRow("Back") << "half typed" << QByteArray("Command2") << QString() << QByteArray();
}

void TestForm1::storeFlow()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, button);
    QFETCH(QString, pasted);
    QFETCH(QByteArray, saved);

    // Line ends the program would not write show that the file was not rewritten.
    const QByteArray before("\"1:zebra:tea\"\n");
    start(before);
    QTest::keyClicks(box(), QStringLiteral("123"));
    choose({QStringLiteral("tin"), QStringLiteral("me")});
    storeWith([&](Preparetostore *dialog) {
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("lbWords"))->text(),
                 QStringLiteral(" tin me"));
        QCOMPARE(dialog->focusWidget(), dialog->findChild<QPushButton *>(QStringLiteral("Store")));
        auto *description = dialog->findChild<QLineEdit *>(QStringLiteral("Text1"));
        QTest::keyClicks(description, typed);
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keySequence(description, QKeySequence::Paste);
        // A refused character typed inside the text leaves the cursor where it was.
        description->setCursorPosition(1);
        QTest::keyClicks(description, QStringLiteral(":"));
        QCOMPARE(description->cursorPosition(), 1);
        QTest::mouseClick(dialog->findChild<QPushButton *>(button), Qt::LeftButton);
    });

    const bool back = button == "Command2";
    QCOMPARE(chain(), (back ? QStringList{"12=tin", "3=me"} : QStringList()));
    QCOMPARE(state(),
             back ? QStringLiteral("Remove Store step2 expanded") : QStringLiteral("step2"));
    QCOMPARE(Windows::existing<Form3>()->getcount(QStringLiteral("tin")), saved.isNull() ? 0 : 1);
    QCOMPARE(m_install->read(QStringLiteral("rv.db")), saved.isNull() ? before : saved);
    if (back) {
        // What was typed before Back is gone, and closing the dialog keeps the chain.
        storeWith([](Preparetostore *dialog) {
            QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("Text1"))->text(), QString());
            dialog->close();
        });
        QCOMPARE(chain().size(), 2);
    }

    m_window->close();
    QCOMPARE(m_install->read(QStringLiteral("rv.db")), saved.isNull() ? before : saved);
    QCOMPARE(QFile::exists(m_install->dataFile(QStringLiteral("rv2.db"))), !saved.isNull());
    QCOMPARE(m_install->read(QStringLiteral("rv2.db")), saved);
}

void TestForm1::missingDictionaryIsReportedOnce_data()
{
    QTest::addColumn<bool>("registered");
    QTest::newRow("dictionary gone") << true;
    QTest::newRow("not registered") << false;
}

// Without a registered installation there is neither a dictionary nor a data folder:
// one message says so, and a store reports that it could not be saved instead of
// writing into a folder below the current one.
void TestForm1::missingDictionaryIsReportedOnce()
{
    QFETCH(bool, registered);
    m_install = std::make_unique<TestInstallation>(QByteArray(""), false);
    QStringList named{QDir::toNativeSeparators(m_install->path())};
    // Settings of their own, which no installation has written to.
    const QByteArray settings = qgetenv("XDG_CONFIG_HOME");
    QTemporaryDir emptySettings;
    const QString workingDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(emptySettings.path()));
    QVERIFY(QDir().mkpath(QStringLiteral("Unknown/data")));
    if (!registered) {
        qputenv("XDG_CONFIG_HOME", emptySettings.path().toLocal8Bit());
        Registry::SetRegValue(QLatin1String(AppInfo::settingsPath), "firsttime", "no");
        named =
            QStringList{"not registered", Registry::location(QLatin1String(AppInfo::settingsPath)),
                        "instaldir", "numbrill-register", "install"};
    }
    m_window = Windows::instance<Form1>();
    m_window->show();
    const std::unique_ptr<QLockFile> lock = Program::lockInstallation();
    qputenv("XDG_CONFIG_HOME", settings);
    QCOMPARE(MessageBox::shown().size(), 1);
    const QString text = MessageBox::shown().first().text;
    for (const QString &name : std::as_const(named))
        QVERIFY2(text.contains(name), qPrintable(text));
    QVERIFY2(!text.contains(u"Unknown"), qPrintable(text));
    QTest::keyClicks(box(), QStringLiteral("12"));
    QVERIFY(candidates().isEmpty());
    QCOMPARE(MessageBox::shown().size(), 1);

    QVERIFY(lock && lock->isLocked() == registered);
    Windows::existing<Form3>()->addEntry(QStringLiteral("desk"), QStringLiteral(" me"));
    QCOMPARE(MessageBox::shown().size(), registered ? 1 : 2);
    if (!registered) {
        QVERIFY2(MessageBox::shown().last().text.contains(
                     "No data folder is set for the remembered numbers."),
                 qPrintable(MessageBox::shown().last().text));
    }
    QCOMPARE(QDir(QStringLiteral("Unknown/data")).isEmpty(), true);
    QVERIFY(QDir::setCurrent(workingDir));
}

void TestForm1::launchAddresses_data()
{
    QTest::addColumn<QString>("installDir");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("url");

    QTest::newRow("manual, separators kept")
        << "C:\\Program Files/numbrill" << QStringLiteral("manual")
        << "file://C:\\Program Files/numbrill/docs/numbrill.htm";
    QTest::newRow("feedback") << QString() << "feedback"
                              << QStringLiteral(NUMBRILL_WEBSITE "/contactus.php");
}

void TestForm1::launchAddresses()
{
    QFETCH(QString, installDir);
    QFETCH(QString, action);
    QFETCH(QString, url);

    start();
    // Settings of their own, without an installation folder unless the row gives one.
    const QByteArray settings = qgetenv("XDG_CONFIG_HOME");
    QTemporaryDir emptySettings;
    qputenv("XDG_CONFIG_HOME", emptySettings.path().toLocal8Bit());
    if (!installDir.isEmpty())
        Registry::SetRegValue(m_window->path, QStringLiteral("instaldir"), installDir);
    m_window->findChild<QAction *>(action)->trigger();
    qputenv("XDG_CONFIG_HOME", settings);
    QCOMPARE(m_launched, QStringList{url});
    QVERIFY(MessageBox::shown().isEmpty());
}

void TestForm1::listWindowsGrow_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("remembered");
    QTest::addColumn<QSize>("opens");
    QTest::addColumn<QSize>("grown");

    // The test screen is 800x600, so the review window cannot be restored taller.
    const QSize review(703, 637);
    QTest::newRow("review, first opening") << "Review"
                                           << "" << review << QSize(90, 20);
    QTest::newRow("review, too small") << "Review"
                                       << "300x200" << review << QSize(40, 0);
    QTest::newRow("most used, remembered") << "MostUsedMenu"
                                           << "700x500" << QSize(700, 500) << QSize(-20, 50);
    QTest::newRow("most used, wider than the screen")
        << "MostUsedMenu"
        << "12000x500" << QSize(800, 500) << QSize(-100, 0);
    QTest::newRow("most used, not a size") << "MostUsedMenu"
                                           << "wide" << QSize(640, 480) << QSize(0, 10);
}

void TestForm1::listWindowsGrow()
{
    QFETCH(QString, command);
    QFETCH(QString, remembered);
    QFETCH(QSize, opens);
    QFETCH(QSize, grown);

    const bool review = command == QLatin1String("Review");
    const QString key = QLatin1String(AppInfo::settingsPath);
    const QString setting =
        QLatin1String(review ? AppInfo::reviewSizeSetting : AppInfo::mostUsedSizeSetting);
    // Before the start, which makes the remembered numbers' window.
    Registry::SetRegValue(key, setting, remembered);
    start();
    const auto open = [&]() -> QWidget * {
        m_window->findChild<QAction *>(command)->trigger();
        return review ? static_cast<QWidget *>(Windows::existing<Form3>())
                      : Windows::existing<MostUsed>();
    };

    QWidget *window = open();
    QCOMPARE(window->size(), opens);
    auto *list = window->findChild<QTreeView *>(QStringLiteral("ListView1"));
    const QSize listBefore = list->size();
    const int firstColumnBefore = list->columnWidth(0);
    const QSize size = opens + grown;
    window->resize(size);
    QCOMPARE(list->size() - listBefore, size - opens);
    QCOMPARE(list->columnWidth(0) > firstColumnBefore, grown.width() > 0);
    QTRY_COMPARE(list->horizontalScrollBar()->maximum(), 0);

    // The next window, even in the next run, opens at the size this one had.
    window->close();
    delete window;
    QCOMPARE(Registry::GetRegValue(key, setting),
             QString("%1x%2").arg(size.width()).arg(size.height()));
    QCOMPARE(open()->size(), size);
}

void TestForm1::toolsCommandsOpenTheirWindows()
{
    start();
    m_window->findChild<QAction *>(QStringLiteral("onetohundred"))->trigger();
    MostUsed *table = Windows::existing<MostUsed>();
    QVERIFY(table && table->isVisible());
    QCOMPARE(table->windowTitle(), QStringLiteral("1-100"));
    click("Command3");
    QCOMPARE(Windows::existing<MostUsed>(), table);
    QCOMPARE(table->windowTitle(), QStringLiteral("Most Used"));

    bool quizShown = false;
    QTimer::singleShot(0, this, [&quizShown] {
        Form4 *quiz = Windows::existing<Form4>();
        quizShown = quiz && quiz->isVisible() && quiz->isModal();
        quiz->close();
    });
    click("Command4");
    QVERIFY(quizShown);
    // Closing the quiz unloaded the remembered numbers; Review loads them again.
    QVERIFY(!Windows::existing<Form3>()->isLoaded());
    click("Command5");
    QVERIFY(Windows::existing<Form3>()->isVisible());
    QVERIFY(Windows::existing<Form3>()->isLoaded());

    // Closing the main window leaves the table open.
    m_window->close();
    QVERIFY(table->isVisible());
    QVERIFY(!Windows::existing<Form3>()->isVisible());
}

void TestForm1::secondCopyIsRefused()
{
    const TestInstallation install;
    const std::unique_ptr<QLockFile> first = Program::lockInstallation();
    QVERIFY(first && first->isLocked());
    QVERIFY(!Program::lockInstallation());
}

void TestForm1::signalSavesTheList()
{
    start();
    Program::installShutdownHandlers();
    Windows::existing<Form3>()->addEntry(QStringLiteral("desk"), QStringLiteral(" me"));
    std::raise(SIGTERM);
    QTRY_VERIFY(!m_window->isVisible());
    QCOMPARE(m_install->read(QStringLiteral("rv.db")), QByteArray("\":desk: me\"\r\n"));
}

// Quitting without saving after a failed save is reported to whoever started the
// program, after one box for the failure during the run and one at exit.
void TestForm1::quitWithoutSavingEndsWithFailure()
{
    m_install = std::make_unique<TestInstallation>(QByteArray(""));
    QVERIFY(QDir().mkpath(m_install->dataFile(QStringLiteral("rv2.db"))));
    QTimer::singleShot(0, this, [] {
        Windows::existing<Form3>()->addEntry(QStringLiteral("desk"), QStringLiteral(" me"));
        MessageBox::queueAnswer(QMessageBox::Discard);
        Windows::existing<Form1>()->close();
    });
    QCOMPARE(Program::run(), 1);
    QCOMPARE(MessageBox::shown().size(), 2);
    QCOMPARE(m_install->read(QStringLiteral("rv.db")), QByteArray(""));
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
