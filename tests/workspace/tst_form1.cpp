#include "TestInstallation.h"
#include "practice/Form4.h"
#include "practice/MostUsed.h"
#include "remembered/Form3.h"
#include "remembered/RememberedList.h"
#include "workspace/Form1.h"
#include "workspace/Launcher.h"
#include "workspace/MemoryChain.h"
#include "workspace/MessageBox.h"
#include "workspace/Preparetostore.h"
#include "workspace/Program.h"
#include "workspace/Windows.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

#include <csignal>
#include <memory>

// Drives the main window as a user would, against the fixture dictionary:
//   0: sea sow   1: tea toe   12: tan tin ton tuna   1234: tinmar   2: new
//   21: knot net   3: me   4: raw   9: bee pie   91: bat   914: butter
class TestForm1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void startsCollapsedAndEmpty();
    void typingShowsLongestPartOnTop();
    void nonDigitsAreRemovedWithOneMessage_data();
    void nonDigitsAreRemovedWithOneMessage();
    void deletingTheLastDigitPrunes();
    void editingInsideRebuilds();
    void clearingEmptiesTheList();
    void usageRanksCandidates();
    void addTakesDigitsOffTheNumber();
    void addCompletingTheNumberEnablesStore();
    void addActsOnlyOnAFittingSelectedCandidate();
    void removeTakesBackTheSelectedAndLaterWords_data();
    void removeTakesBackTheSelectedAndLaterWords();
    void clickOnEmptyListsDisablesButtons();
    void storeAddsTheNumber();
    void storeWithEmptyDescription();
    void backKeepsEverythingAndClearsDescriptionNextTime();
    void forgetItDiscards();
    void descriptionRefusesWhatTheFileCannotHold_data();
    void descriptionRefusesWhatTheFileCannotHold();
    void storedNumberIsWrittenOnClose();
    void nothingChangedTouchesNoFile();
    void missingDictionaryIsReportedOnce();
    void launchAddresses_data();
    void launchAddresses();
    void toolsCommandsOpenTheirWindows();
    void secondCopyIsRefused();
    void signalSavesTheList();

private:
    Form1 *start();
    QStringList candidateWords() const;
    QStringList chainWords() const;
    void clickCandidate(const QString &word);
    void clickChainRow(int row);
    void typeNumber(const QString &digits);
    void storeWith(const std::function<void(Preparetostore *)> &inDialog);
    template <class T> T *child(const char *name) const
    {
        T *widget = m_window->findChild<T *>(QLatin1String(name));
        Q_ASSERT(widget);
        return widget;
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
    m_install = std::make_unique<TestInstallation>(QByteArray(""));
}

void TestForm1::cleanup()
{
    Windows::releaseAll();
    m_window = nullptr;
    m_install.reset();
    Launcher::setRecorder({});
}

Form1 *TestForm1::start()
{
    m_window = Windows::instance<Form1>();
    m_window->show();
    return m_window;
}

QStringList TestForm1::candidateWords() const
{
    const auto *list = child<QTreeWidget>("ListView1");
    QStringList words;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        words.append(list->topLevelItem(row)->text(2));
    return words;
}

QStringList TestForm1::chainWords() const
{
    const auto *list = child<QTreeView>("ListView2");
    QStringList words;
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        words.append(list->model()->index(row, 0).data().toString() + u'=' +
                     list->model()->index(row, 1).data().toString());
    }
    return words;
}

void TestForm1::clickCandidate(const QString &word)
{
    auto *list = child<QTreeWidget>("ListView1");
    const QList<QTreeWidgetItem *> found = list->findItems(word, Qt::MatchExactly, 2);
    QVERIFY(!found.isEmpty());
    const QRect rect = list->visualRect(list->indexFromItem(found.first(), 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QVERIFY(found.first()->isSelected());
}

void TestForm1::clickChainRow(int row)
{
    auto *list = child<QTreeView>("ListView2");
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

void TestForm1::typeNumber(const QString &digits)
{
    QTest::keyClicks(child<QLineEdit>("Text1"), digits);
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
    QTest::mouseClick(child<QToolButton>("StoreButton"), Qt::LeftButton);
    QVERIFY(answered);
}

void TestForm1::startsCollapsedAndEmpty()
{
    start();
    QCOMPARE(m_window->heightTwips(), Form1::collapsedHeight);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Numbrill"));
    QVERIFY(!child<QPushButton>("AddButton")->isEnabled());
    QVERIFY(!child<QPushButton>("RemoveButton")->isEnabled());
    QVERIFY(!child<QToolButton>("StoreButton")->isEnabled());
    QVERIFY(!child<QLabel>("Label4")->isVisible());
    QVERIFY(!child<QLabel>("Label5")->isVisible());
    QCOMPARE(m_window->path, QStringLiteral("software\\kerravane"));
    QVERIFY(MessageBox::shown().isEmpty());
    const QStringList tooltips{"1-100", "Most used", "Test Yourself", "Review"};
    for (int i = 0; i < 4; ++i) {
        const auto *button = child<QToolButton>(QStringLiteral("Command%1").arg(i + 2).toLatin1());
        QCOMPARE(button->toolTip(), tooltips.at(i));
        QVERIFY(!button->icon().isNull());
    }
}

void TestForm1::typingShowsLongestPartOnTop()
{
    start();
    typeNumber(QStringLiteral("9"));
    QCOMPARE(m_window->heightTwips(), Form1::expandedHeight);
    QVERIFY(child<QLabel>("Label4")->isVisible());
    QCOMPARE(candidateWords(), (QStringList{"pie", "bee"}));
    typeNumber(QStringLiteral("14"));
    QCOMPARE(candidateWords(), (QStringList{"butter", "bat", "pie", "bee"}));
    QVERIFY(MessageBox::shown().isEmpty());
}

void TestForm1::nonDigitsAreRemovedWithOneMessage_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QStringList>("words");

    QTest::newRow("typed letter") << "12a"
                                  << ""
                                  << "12" << QStringList{"tuna", "ton", "tin", "tan", "toe", "tea"};
    QTest::newRow("pasted mixed text") << ""
                                       << "4x5y"
                                       << "45" << QStringList{"raw"};
    QTest::newRow("pasted many letters") << "9"
                                         << "1a4bcd"
                                         << "914" << QStringList{"butter", "bat", "pie", "bee"};
}

void TestForm1::nonDigitsAreRemovedWithOneMessage()
{
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, number);
    QFETCH(QStringList, words);

    start();
    typeNumber(typed);
    if (!pasted.isEmpty())
        child<QLineEdit>("Text1")->insert(pasted);
    QCOMPARE(child<QLineEdit>("Text1")->text(), number);
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().first().text, QStringLiteral("Please enter only numbers."));
    QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Numbrill"));
    QCOMPARE(candidateWords(), words);
}

void TestForm1::deletingTheLastDigitPrunes()
{
    start();
    typeNumber(QStringLiteral("914"));
    QTest::keyClick(child<QLineEdit>("Text1"), Qt::Key_Backspace);
    QCOMPARE(candidateWords(), (QStringList{"bat", "pie", "bee"}));
    QTest::keyClick(child<QLineEdit>("Text1"), Qt::Key_Backspace);
    QCOMPARE(candidateWords(), (QStringList{"pie", "bee"}));
}

void TestForm1::editingInsideRebuilds()
{
    start();
    typeNumber(QStringLiteral("94"));
    QCOMPARE(candidateWords(), (QStringList{"pie", "bee"}));
    auto *box = child<QLineEdit>("Text1");
    box->setCursorPosition(1);
    QTest::keyClick(box, Qt::Key_1);
    QCOMPARE(box->text(), QStringLiteral("914"));
    QCOMPARE(candidateWords(), (QStringList{"butter", "bat", "pie", "bee"}));
}

void TestForm1::clearingEmptiesTheList()
{
    start();
    typeNumber(QStringLiteral("12"));
    child<QLineEdit>("Text1")->clear();
    QVERIFY(candidateWords().isEmpty());
    typeNumber(QStringLiteral("2"));
    QCOMPARE(candidateWords(), (QStringList{"new"}));
}

void TestForm1::usageRanksCandidates()
{
    // tan used once, tin 9 times, ton 10 times, tuna never.
    QByteArray list = "\"12:a: tan\"\r\n\"12:b:";
    for (int i = 0; i < 9; ++i)
        list += " tin";
    list += "\"\r\n\"12:c:";
    for (int i = 0; i < 10; ++i)
        list += " ton";
    list += "\"\r\n";
    m_install = std::make_unique<TestInstallation>(list);

    start();
    typeNumber(QStringLiteral("12"));
    QCOMPARE(candidateWords().mid(0, 4), (QStringList{"tin", "ton", "tan", "tuna"}));
    const auto *top = child<QTreeWidget>("ListView1")->topLevelItem(0);
    QCOMPARE(top->text(0), QStringLiteral("9"));
    QCOMPARE(top->text(1), QStringLiteral("12"));
    QCOMPARE(child<QTreeWidget>("ListView1")->topLevelItem(3)->text(0), QString());
}

void TestForm1::addTakesDigitsOffTheNumber()
{
    start();
    typeNumber(QStringLiteral("1234"));
    QVERIFY(!child<QPushButton>("AddButton")->isEnabled());
    clickCandidate(QStringLiteral("tin"));
    QVERIFY(child<QPushButton>("AddButton")->isEnabled());
    QTest::mouseClick(child<QPushButton>("AddButton"), Qt::LeftButton);

    QCOMPARE(chainWords(), QStringList{QStringLiteral("12=tin")});
    QCOMPARE(child<QLineEdit>("Text1")->text(), QStringLiteral("34"));
    QCOMPARE(candidateWords(), (QStringList{"me"}));
    QVERIFY(!child<QToolButton>("StoreButton")->isEnabled());
    QVERIFY(!child<QPushButton>("AddButton")->isEnabled());
    QVERIFY(child<QPushButton>("RemoveButton")->isEnabled());
    QVERIFY(child<QLabel>("Label4")->isVisible());
    QVERIFY(!child<QLabel>("Label5")->isVisible());
}

void TestForm1::addCompletingTheNumberEnablesStore()
{
    start();
    typeNumber(QStringLiteral("1234"));
    clickCandidate(QStringLiteral("tinmar"));
    QTest::mouseClick(child<QPushButton>("AddButton"), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>("Text1")->text(), QString());
    QVERIFY(child<QToolButton>("StoreButton")->isEnabled());
    QVERIFY(child<QLabel>("Label5")->isVisible());
    QVERIFY(!child<QLabel>("Label4")->isVisible());
    QCOMPARE(m_window->GetCurrentNumber(), QStringLiteral("1234"));
    QCOMPARE(m_window->getwords(), QStringLiteral(" tinmar"));
}

void TestForm1::addActsOnlyOnAFittingSelectedCandidate()
{
    start();
    typeNumber(QStringLiteral("914"));
    clickCandidate(QStringLiteral("butter"));
    // The user edits the number after choosing: "butter" no longer fits.
    auto *box = child<QLineEdit>("Text1");
    box->setText(QStringLiteral("9"));
    QVERIFY(child<QPushButton>("AddButton")->isEnabled());
    child<QTreeWidget>("ListView1")->clearSelection();
    child<QTreeWidget>("ListView1")
        ->insertTopLevelItem(
            0, new QTreeWidgetItem({QString(), QStringLiteral("914"), QStringLiteral("butter")}));
    child<QTreeWidget>("ListView1")->topLevelItem(0)->setSelected(true);
    child<QTreeWidget>("ListView1")
        ->setCurrentItem(child<QTreeWidget>("ListView1")->topLevelItem(0));
    QTest::mouseClick(child<QPushButton>("AddButton"), Qt::LeftButton);
    QVERIFY(chainWords().isEmpty());
    QCOMPARE(box->text(), QStringLiteral("9"));

    child<QTreeWidget>("ListView1")->clearSelection();
    QTest::mouseClick(child<QPushButton>("AddButton"), Qt::LeftButton);
    QVERIFY(chainWords().isEmpty());
}

void TestForm1::removeTakesBackTheSelectedAndLaterWords_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("chain");
    QTest::addColumn<QString>("number");

    QTest::newRow("middle row") << 1 << QStringList{"12=tin"} << "34";
    QTest::newRow("first row") << 0 << QStringList{} << "1234";
    QTest::newRow("last row") << 2 << QStringList{"12=tin", "3=me"} << "4";
}

void TestForm1::removeTakesBackTheSelectedAndLaterWords()
{
    QFETCH(int, selected);
    QFETCH(QStringList, chain);
    QFETCH(QString, number);

    start();
    typeNumber(QStringLiteral("1234"));
    for (const char *word : {"tin", "me", "raw"}) {
        clickCandidate(QLatin1String(word));
        QTest::mouseClick(child<QPushButton>("AddButton"), Qt::LeftButton);
    }
    QCOMPARE(chainWords(), (QStringList{"12=tin", "3=me", "4=raw"}));
    QVERIFY(child<QToolButton>("StoreButton")->isEnabled());

    clickChainRow(selected);
    QTest::mouseClick(child<QPushButton>("RemoveButton"), Qt::LeftButton);
    QCOMPARE(chainWords(), chain);
    QCOMPARE(child<QLineEdit>("Text1")->text(), number);
    QVERIFY(!child<QToolButton>("StoreButton")->isEnabled());
    QVERIFY(!child<QPushButton>("AddButton")->isEnabled());
    QVERIFY(!child<QPushButton>("RemoveButton")->isEnabled());

    // Without a selected row "<<" does nothing.
    child<QTreeView>("ListView2")->clearSelection();
    QTest::mouseClick(child<QPushButton>("RemoveButton"), Qt::LeftButton);
    QCOMPARE(chainWords(), chain);
}

void TestForm1::clickOnEmptyListsDisablesButtons()
{
    start();
    clickChainRow(0);
    QVERIFY(!child<QPushButton>("RemoveButton")->isEnabled());
    QTest::mouseClick(child<QTreeWidget>("ListView1")->viewport(), Qt::LeftButton);
    QVERIFY(!child<QPushButton>("AddButton")->isEnabled());
}

void TestForm1::storeAddsTheNumber()
{
    start();
    typeNumber(QStringLiteral("123"));
    clickCandidate(QStringLiteral("tin"));
    QTest::mouseClick(child<QPushButton>("AddButton"), Qt::LeftButton);
    clickCandidate(QStringLiteral("me"));
    QTest::mouseClick(child<QPushButton>("AddButton"), Qt::LeftButton);

    storeWith([](Preparetostore *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Review"));
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("lbWords"))->text(),
                 QStringLiteral(" tin me"));
        QCOMPARE(dialog->focusWidget(), dialog->findChild<QPushButton *>(QStringLiteral("Store")));
        QTest::keyClicks(dialog->findChild<QLineEdit *>(QStringLiteral("Text1")),
                         QStringLiteral("office phone"));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Store")),
                          Qt::LeftButton);
    });

    const RememberedList *list = Windows::existing<Form3>()->list();
    QCOMPARE(list->entryCount(), 1);
    QCOMPARE(list->entry(1).Value, QStringLiteral("123"));
    QCOMPARE(list->entry(1).Description, QStringLiteral("office phone"));
    QCOMPARE(list->entry(1).Words, QStringLiteral(" tin me"));
    QVERIFY(list->changed());
    QCOMPARE(Windows::existing<Form3>()->getcount(QStringLiteral("tin")), 1);

    QVERIFY(chainWords().isEmpty());
    QCOMPARE(m_window->heightTwips(), Form1::collapsedHeight);
    QVERIFY(!child<QToolButton>("StoreButton")->isEnabled());
    QVERIFY(!child<QPushButton>("RemoveButton")->isEnabled());

    // The next lookup ranks the word by its use.
    typeNumber(QStringLiteral("12"));
    QCOMPARE(candidateWords().first(), QStringLiteral("tin"));
}

void TestForm1::storeWithEmptyDescription()
{
    start();
    typeNumber(QStringLiteral("3"));
    clickCandidate(QStringLiteral("me"));
    QTest::mouseClick(child<QPushButton>("AddButton"), Qt::LeftButton);
    storeWith([](Preparetostore *dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Store")),
                          Qt::LeftButton);
    });
    const RememberedList *list = Windows::existing<Form3>()->list();
    QCOMPARE(list->entryCount(), 1);
    QCOMPARE(list->entry(1).Description, QString());
}

void TestForm1::backKeepsEverythingAndClearsDescriptionNextTime()
{
    start();
    typeNumber(QStringLiteral("3"));
    clickCandidate(QStringLiteral("me"));
    QTest::mouseClick(child<QPushButton>("AddButton"), Qt::LeftButton);
    storeWith([](Preparetostore *dialog) {
        QTest::keyClicks(dialog->findChild<QLineEdit *>(QStringLiteral("Text1")),
                         QStringLiteral("half typed"));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Command2")),
                          Qt::LeftButton);
    });
    QCOMPARE(chainWords(), QStringList{QStringLiteral("3=me")});
    QVERIFY(child<QToolButton>("StoreButton")->isEnabled());
    QVERIFY(child<QPushButton>("RemoveButton")->isEnabled());
    QCOMPARE(m_window->heightTwips(), Form1::expandedHeight);
    QCOMPARE(Windows::existing<Form3>()->list()->entryCount(), 0);

    storeWith([](Preparetostore *dialog) {
        auto *description = dialog->findChild<QLineEdit *>(QStringLiteral("Text1"));
        QCOMPARE(description->text(), QString());
        dialog->close();
    });
    QCOMPARE(chainWords(), QStringList{QStringLiteral("3=me")});
}

void TestForm1::forgetItDiscards()
{
    start();
    typeNumber(QStringLiteral("3"));
    clickCandidate(QStringLiteral("me"));
    QTest::mouseClick(child<QPushButton>("AddButton"), Qt::LeftButton);
    storeWith([](Preparetostore *dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Command1")),
                          Qt::LeftButton);
    });
    QVERIFY(chainWords().isEmpty());
    QCOMPARE(m_window->heightTwips(), Form1::collapsedHeight);
    QCOMPARE(Windows::existing<Form3>()->list()->entryCount(), 0);
    QVERIFY(!Windows::existing<Form3>()->list()->changed());
    QVERIFY(!child<QPushButton>("RemoveButton")->isEnabled());
}

void TestForm1::descriptionRefusesWhatTheFileCannotHold_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");

    QTest::newRow("quote and colon typed") << "a\"b:c"
                                           << ""
                                           << "abc";
    QTest::newRow("code page letters kept")
        << "" << QStringLiteral("caf\u00e9 \u20ac5") << QStringLiteral("caf\u00e9 \u20ac5");
    QTest::newRow("paste outside the code page") << "pi " << QStringLiteral("\u03c0 day") << "pi ";
    QTest::newRow("paste with a colon") << ""
                                        << "10:30"
                                        << "";
}

void TestForm1::descriptionRefusesWhatTheFileCannotHold()
{
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, kept);

    Preparetostore dialog;
    auto *description = dialog.findChild<QLineEdit *>(QStringLiteral("Text1"));
    QTest::keyClicks(description, typed);
    if (!pasted.isEmpty())
        description->insert(pasted);
    QCOMPARE(description->text(), kept);
}

void TestForm1::storedNumberIsWrittenOnClose()
{
    m_install = std::make_unique<TestInstallation>(QByteArray("\"1:zebra:tea\"\r\n"));
    start();
    typeNumber(QStringLiteral("3"));
    clickCandidate(QStringLiteral("me"));
    QTest::mouseClick(child<QPushButton>("AddButton"), Qt::LeftButton);
    storeWith([](Preparetostore *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("Text1"))
            ->insert(QStringLiteral("caf\u00e9"));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Store")),
                          Qt::LeftButton);
    });
    QCOMPARE(m_install->read(QStringLiteral("rv.db")), QByteArray("\"1:zebra:tea\"\r\n"));

    m_window->close();
    const QByteArray expected("\"3:caf\xe9: me\"\r\n\"1:zebra:tea\"\r\n");
    QCOMPARE(m_install->read(QStringLiteral("rv.db")), expected);
    QCOMPARE(m_install->read(QStringLiteral("rv2.db")), expected);
    QVERIFY(!Windows::existing<Form3>()->isLoaded());
    QCOMPARE(Windows::existing<Form3>()->getcount(QStringLiteral("me")), 1);
}

void TestForm1::nothingChangedTouchesNoFile()
{
    m_install = std::make_unique<TestInstallation>(QByteArray("\"1:a:tea\"\n"));
    start();
    m_window->close();
    QCOMPARE(m_install->read(QStringLiteral("rv.db")), QByteArray("\"1:a:tea\"\n"));
    QVERIFY(!QFile::exists(m_install->dataFile(QStringLiteral("rv2.db"))));
}

void TestForm1::missingDictionaryIsReportedOnce()
{
    m_install = std::make_unique<TestInstallation>(QByteArray(""), false);
    start();
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(MessageBox::shown().first().text.contains(QDir::toNativeSeparators(m_install->path())));
    typeNumber(QStringLiteral("12"));
    QVERIFY(candidateWords().isEmpty());
    QCOMPARE(MessageBox::shown().size(), 1);
}

void TestForm1::launchAddresses_data()
{
    QTest::addColumn<QString>("installDir");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("url");

    QTest::newRow("manual, separators kept")
        << "C:\\Program Files/numbrill"
        << "manual"
        << "file://C:\\Program Files/numbrill/docs/numbrill.htm";
    QTest::newRow("manual without instaldir") << ""
                                              << "manual"
                                              << "file://Unknown/docs/numbrill.htm";
    QTest::newRow("feedback") << ""
                              << "feedback" << NUMBRILL_WEBSITE "/contactus.php";
    QTest::newRow("web site") << ""
                              << "web" << NUMBRILL_WEBSITE;
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

void TestForm1::toolsCommandsOpenTheirWindows()
{
    start();
    m_window->findChild<QAction *>(QStringLiteral("onetohundred"))->trigger();
    MostUsed *table = Windows::existing<MostUsed>();
    QVERIFY(table && table->isVisible());
    QCOMPARE(table->windowTitle(), QStringLiteral("1-100"));
    QTest::mouseClick(child<QToolButton>("Command3"), Qt::LeftButton);
    QCOMPARE(Windows::existing<MostUsed>(), table);
    QCOMPARE(table->windowTitle(), QStringLiteral("Most Used"));

    bool quizShown = false;
    QTimer::singleShot(0, this, [&quizShown] {
        Form4 *quiz = Windows::existing<Form4>();
        quizShown = quiz && quiz->isVisible() && quiz->isModal();
        quiz->close();
    });
    QTest::mouseClick(child<QToolButton>("Command4"), Qt::LeftButton);
    QVERIFY(quizShown);
    // Closing the quiz unloaded the remembered numbers; Review loads them again.
    QVERIFY(!Windows::existing<Form3>()->isLoaded());
    QTest::mouseClick(child<QToolButton>("Command5"), Qt::LeftButton);
    QVERIFY(Windows::existing<Form3>()->isVisible());
    QVERIFY(Windows::existing<Form3>()->isLoaded());

    // Closing the main window leaves the table open.
    m_window->close();
    QVERIFY(table->isVisible());
    QVERIFY(!Windows::existing<Form3>()->isVisible());
}

void TestForm1::secondCopyIsRefused()
{
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
    QTRY_COMPARE(m_install->read(QStringLiteral("rv.db")), QByteArray("\":desk: me\"\r\n"));
    QVERIFY(!m_window->isVisible());
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
