#include "TestInstallation.h"
#include "remembered/Form3.h"
#include "remembered/RememberedList.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"

#include <QDir>
#include <QHash>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <memory>

namespace {

// Sorted by description: alpha(3), beta(1000), delta(1), Gamma(999), ""(12) first.
const QByteArray fixture("\"1000:beta house:bus\"\r\n"
                         "\"1:delta:tea\"\r\n"
                         "\"999:Gamma:pop\"\r\n"
                         "\"12::tin\"\r\n"
                         "\"3:alpha house:me\"\r\n");

} // namespace

// Drives the remembered-numbers window over a small list: sorting, type-ahead search,
// forget, export and import, closing. The file formats are tested on their own in
// tst_rememberedlist and tst_transferfile.
class TestForm3 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void sorting();
    void typeAhead_data();
    void typeAhead();
    void forget_data();
    void forget();
    void exportAndImport();
    void flashCards();
    void wrongHeaderAndCutShortFiles();
    void closeSavesAndReopenReloads();
    void failedSavesAreReportedOnce();
    void loadMessages_data();
    void loadMessages();
    void changesWaitForLongLoad_data();
    void changesWaitForLongLoad();

private:
    QStringList column(int column) const;
    QString selectedDescription() const;
    void press(const QString &keys);
    template <class T> T *child(const char *name) const { return m_window->findChild<T *>(name); }
    QTreeView *view() const { return child<QTreeView>("ListView1"); }
    QLineEdit *box() const { return child<QLineEdit>("Text1"); }
    void click(const char *name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    QByteArray saved() const { return m_install->read(QStringLiteral("rv.db")); }

    std::unique_ptr<TestInstallation> m_install;
    Form3 *m_window = nullptr;
};

void TestForm3::init()
{
    MessageBox::answerInstead(true);
    FileDialog::answerInstead(true);
    m_install = std::make_unique<TestInstallation>(fixture);
    m_window = Windows::instance<Form3>();
    m_window->load();
    m_window->show();
}

void TestForm3::cleanup()
{
    Windows::releaseAll();
    m_install.reset();
}

// The Value (0) or Description (1) of every row, top to bottom.
QStringList TestForm3::column(int column) const
{
    QStringList texts;
    for (int position = 1; position <= m_window->list()->entryCount(); ++position) {
        const RememberedEntry entry = m_window->list()->entry(position);
        texts.append(column == 0 ? entry.Value : entry.Description);
    }
    return texts;
}

QString TestForm3::selectedDescription() const
{
    const QModelIndexList rows = view()->selectionModel()->selectedRows();
    return rows.isEmpty() ? QStringLiteral("(none)")
                          : m_window->list()->entry(rows.first().row() + 1).Description;
}

// Keys pressed in the list: letters (capitals with Shift), digits and blanks as they
// are, \b Backspace, \n Return, \r Enter and ^ the Shift key alone.
void TestForm3::press(const QString &keys)
{
    static const QHash<QChar, Qt::Key> special{{u'\b', Qt::Key_Backspace},
                                               {u'\n', Qt::Key_Return},
                                               {u'\r', Qt::Key_Enter},
                                               {u'^', Qt::Key_Shift}};
    for (const QChar c : keys) {
        QTest::keyClick(view(), special.value(c, Qt::Key(c.toUpper().unicode())),
                        c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier);
    }
}

void TestForm3::sorting()
{
    QCOMPARE(column(1), (QStringList{"", "alpha house", "beta house", "delta", "Gamma"}));
    // A click on Value sorts the numbers as text; a second click does not reverse it.
    QHeaderView *header = view()->header();
    const QPoint onValue(header->sectionViewportPosition(0) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onValue);
    QCOMPARE(column(0), (QStringList{"1", "1000", "12", "3", "999"}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onValue);
    QCOMPARE(column(0).first(), QStringLiteral("1"));
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
}

void TestForm3::typeAhead_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("inBox");
    QTest::addColumn<QString>("search");
    QTest::addColumn<int>("found");
    QTest::addColumn<QString>("selected");

    // Rows: 1 "", 2 alpha house, 3 beta house, 4 delta, 5 Gamma.
    QTest::newRow("first search starts at row 2") << "h" << false << "h" << 2 << "alpha house";
    QTest::newRow("Shift alone does nothing") << "h^" << false << "h" << 2 << "alpha house";
    QTest::newRow("Shift gives capitals") << "G" << false << "G" << 5 << "Gamma";
    QTest::newRow("space bar, no match") << "G " << false << "G " << 5 << "(none)";
    QTest::newRow("Return steps") << "house\n" << false << "house" << 3 << "beta house";
    QTest::newRow("Enter wraps") << "house\n\r" << false << "house" << 2 << "alpha house";
    QTest::newRow("Backspace to empty") << "h\b" << false << "" << 3 << "beta house";
    QTest::newRow("Backspace on empty searches nothing")
        << "h\b\b" << false << "" << 3 << "beta house";
    // Both passes look for what was typed: "ta" after row 3 is "delta".
    QTest::newRow("typed into the box") << "ta" << true << "ta" << 4 << "delta";
    QTest::newRow("Backspace in the box") << "ta\b" << true << "t" << 3 << "beta house";
}

void TestForm3::typeAhead()
{
    QFETCH(QString, keys);
    QFETCH(bool, inBox);
    QFETCH(QString, search);
    QFETCH(int, found);
    QFETCH(QString, selected);

    view()->setFocus();
    if (inBox)
        QTest::keyClicks(box(), keys);
    else
        press(keys);
    QCOMPARE(m_window->searchText(), search);
    QCOMPARE(box()->text(), search);
    QCOMPARE(m_window->lastFound(), found);
    QCOMPARE(selectedDescription(), selected);
}

void TestForm3::forget_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("left");

    const QString beta = QStringLiteral("Do you want to delete entry for beta house");
    QTest::newRow("yes") << 3 << int(QMessageBox::Yes) << beta << 4;
    QTest::newRow("no") << 3 << int(QMessageBox::No) << beta << 5;
    QTest::newRow("empty description")
        << 1 << int(QMessageBox::Yes) << "Do you want to delete entry for " << 4;
    QTest::newRow("nothing selected") << 0 << int(QMessageBox::Yes) << QString() << 5;
}

void TestForm3::forget()
{
    QFETCH(int, row);
    QFETCH(int, answer);
    QFETCH(QString, question);
    QFETCH(int, left);

    view()->clearSelection();
    if (row > 0)
        view()->setCurrentIndex(m_window->list()->index(row - 1, 0));
    MessageBox::queueAnswer(MessageBox::Button(answer));
    click("Command1");

    if (question.isEmpty()) {
        QVERIFY(MessageBox::shown().isEmpty());
    } else {
        QCOMPARE(MessageBox::shown().size(), 1);
        const MessageBox::Shown shown = MessageBox::shown().first();
        QCOMPARE(shown.title + u'|' + shown.text, QStringLiteral("Confirm Delete|") + question);
        QCOMPARE(shown.buttons, QMessageBox::Yes | QMessageBox::No);
    }
    QCOMPARE(m_window->list()->entryCount(), left);

    // Saved at once, not when the window closes.
    QCOMPARE(saved().count("\r\n"), left);
    QCOMPARE(saved() == fixture, left == 5);
    if (left == 4)
        QCOMPARE(saved(), m_install->read(QStringLiteral("rv2.db")));
}

void TestForm3::exportAndImport()
{
    // Cancelled, neither writes or reads anything.
    m_install->write(QStringLiteral("out.txt"), "untouched");
    click("ExportButton");
    click("ImportButton");
    QCOMPARE(m_install->read(QStringLiteral("out.txt")), QByteArray("untouched"));
    QVERIFY(!QFile::exists(QStringLiteral("out.txt")));
    QCOMPARE(m_window->list()->entryCount(), 5);

    const QString exported = m_install->dataFile(QStringLiteral("moved.txt"));
    FileDialog::queueAnswer(exported);
    click("ExportButton");
    QVERIFY(m_install->read(QStringLiteral("moved.txt"))
                .startsWith("\"Numbrill\"\r\n\"12\"\r\n\"empty\"\r\n\"tin\"\r\n\"3\"\r\n"));
    QVERIFY(!m_window->list()->changed());

    // Back into the same list: only the entry without a description comes back, as
    // "empty". The dialog starts with the name chosen last.
    FileDialog::queueAnswer(exported);
    click("ImportButton");
    QCOMPARE(FileDialog::initialNames(), (QStringList{"out.txt", "out.txt", "out.txt", exported}));
    QCOMPARE(m_window->list()->entryCount(), 6);
    QVERIFY(column(1).contains(QStringLiteral("empty")));
    QVERIFY(saved().contains("\"12:empty:tin\"\r\n"));
    QVERIFY(!m_window->list()->changed());
    QVERIFY(MessageBox::shown().isEmpty());
}

void TestForm3::flashCards()
{
    // Cancelled, nothing is written.
    click("FlashCardButton");
    QCOMPARE(FileDialog::initialNames(), QStringList{"flashcards.txt"});

    // One entry as stored since the start, one that no card could hold as it is.
    m_window->list()->appendEntry({"3141", "pi", " moderate"});
    m_window->list()->appendEntry(
        {"9", QStringLiteral("b\tc\r\nd\ne\u2028caf\u00e9 \u20ac"), "bee"});
    const QString cards = m_install->dataFile(QStringLiteral("cards.txt"));
    FileDialog::queueAnswer(cards);
    click("FlashCardButton");
    QCOMPARE(m_install->read(QStringLiteral("cards.txt")),
             QByteArray("#separator:tab\n#html:false\n\t12 tin\nalpha house\t3 me\n"
                        "b c d e caf\xc3\xa9 \xe2\x82\xac\t9 bee\nbeta house\t1000 bus\n"
                        "delta\t1 tea\nGamma\t999 pop\npi\t3141 moderate\n"));
    QVERIFY(MessageBox::shown().isEmpty());

    // A folder of that name cannot be replaced: the message names the file.
    const QString folder = m_install->dataFile(QStringLiteral("taken"));
    QVERIFY(QDir().mkpath(folder));
    FileDialog::queueAnswer(folder);
    click("FlashCardButton");
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(MessageBox::shown().first().text.contains(QDir::toNativeSeparators(folder)));
}

void TestForm3::wrongHeaderAndCutShortFiles()
{
    m_install->write(QStringLiteral("wrong.txt"), "\"NUMBRILL\"\r\n\"5\"\r\n\"x\"\r\n\"law\"\r\n");
    m_window->ImportDb(m_install->dataFile(QStringLiteral("wrong.txt")));
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().first().text,
             QStringLiteral("Invalid Format. You can only import files exported from Numbrill."));
    QCOMPARE(m_window->list()->entryCount(), 5);
    QVERIFY(!m_window->list()->changed());

    MessageBox::clearShown();
    m_install->write(QStringLiteral("short.txt"),
                     "\"Numbrill\"\r\n\"5\"\r\n\"lily\"\r\n\"law\"\r\n\"6\"\r\n");
    m_window->ImportDb(m_install->dataFile(QStringLiteral("short.txt")));
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(MessageBox::shown().first().text.contains(QStringLiteral(": 1.")));
    QCOMPARE(m_window->list()->entryCount(), 6);
    QVERIFY(saved().contains("\"5:lily:law\"\r\n"));

    // A file that cannot be read is named, with the reason.
    MessageBox::clearShown();
    const QString missing = m_install->dataFile(QStringLiteral("missing.txt"));
    m_window->ImportDb(missing);
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().first().text,
             QStringLiteral("The file %1 could not be read: No such file or directory")
                 .arg(QDir::toNativeSeparators(missing)));
    QCOMPARE(m_window->list()->entryCount(), 6);
}

void TestForm3::closeSavesAndReopenReloads()
{
    m_window->addEntry(QStringLiteral("epsilon"), QStringLiteral(" me"));
    QVERIFY(saved().contains("\":epsilon: me\"\r\n"));
    click("Close");
    QVERIFY(!m_window->isVisible());
    QVERIFY(!m_window->isLoaded());

    m_window->load();
    QCOMPARE(m_window->list()->entryCount(), 6);
    QCOMPARE(m_window->getcount(QStringLiteral("me")), 2);
}

void TestForm3::failedSavesAreReportedOnce()
{
    const QString rv2 = m_install->dataFile(QStringLiteral("rv2.db"));
    QVERIFY(QDir().mkpath(rv2));
    m_window->addEntry(QStringLiteral("one"), QStringLiteral(" me"));
    m_window->addEntry(QStringLiteral("two"), QStringLiteral(" me"));
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(MessageBox::shown().first().text.contains(QDir::toNativeSeparators(rv2)));
    QCOMPARE(saved(), fixture);

    // The next change saves everything kept meanwhile, without a word.
    QVERIFY(QDir().rmdir(rv2));
    m_window->addEntry(QStringLiteral("three"), QStringLiteral(" me"));
    QCOMPARE(MessageBox::shown().size(), 1);
    for (const char *line : {"\":one: me\"", "\":two: me\"", "\":three: me\""})
        QVERIFY(saved().contains(line));

    // At exit the user may retry, or quit without saving; the box comes once per try.
    QVERIFY(QFile::remove(rv2) && QDir().mkpath(rv2));
    m_window->addEntry(QStringLiteral("four"), QStringLiteral(" me"));
    MessageBox::clearShown();
    MessageBox::queueAnswer(QMessageBox::Retry);
    MessageBox::queueAnswer(QMessageBox::Discard);
    m_window->unloadForExit();
    m_window->unloadForExit();
    QCOMPARE(MessageBox::shown().size(), 2);
    const MessageBox::Shown box = MessageBox::shown().last();
    QVERIFY2(box.text.contains(QStringLiteral("Filename refers to a directory")),
             qPrintable(box.text));
    QCOMPARE(box.buttons, QMessageBox::Retry | QMessageBox::Discard);
    QCOMPARE(box.defaultButton, QMessageBox::Retry);
    QCOMPARE(box.buttonTexts, (MessageBox::ButtonTexts{
                                  {QMessageBox::Discard, QStringLiteral("Quit without saving")}}));
    QVERIFY(m_window->quitWithoutSaving());
    QVERIFY(!saved().contains("four"));
}

void TestForm3::loadMessages_data()
{
    QTest::addColumn<bool>("rvReadable");
    QTest::addColumn<QByteArray>("rv2");
    QTest::addColumn<QStringList>("told");

    const QByteArray none;
    QTest::newRow("rv.db unreadable, rv2.db loaded")
        << false << QByteArray("\"1:a:\"\r\n") << QStringList{"rv.db", "loaded from", "rv2.db"};
    QTest::newRow("rv.db and rv2.db unreadable")
        << false << QByteArray("<folder>") << QStringList{"rv2.db", "left as they are"};
    QTest::newRow("a quote turned blank") << true << none << QStringList{"1 of your"};
}

void TestForm3::loadMessages()
{
    QFETCH(bool, rvReadable);
    QFETCH(QByteArray, rv2);
    QFETCH(QStringList, told);

    Windows::releaseAll();
    MessageBox::clearShown();
    m_install =
        std::make_unique<TestInstallation>(rvReadable ? QByteArray("5:say \"hi\":") : QByteArray());
    if (!rvReadable)
        QVERIFY(QDir().mkpath(m_install->dataFile(QStringLiteral("rv.db"))));
    if (rv2 == "<folder>")
        QVERIFY(QDir().mkpath(m_install->dataFile(QStringLiteral("rv2.db"))));
    else if (!rv2.isNull())
        m_install->write(QStringLiteral("rv2.db"), rv2);
    m_window = Windows::instance<Form3>();
    m_window->load();

    QCOMPARE(MessageBox::shown().size(), 1);
    for (const QString &part : told)
        QVERIFY2(MessageBox::shown().first().text.contains(part),
                 qPrintable(MessageBox::shown().first().text));
}

void TestForm3::changesWaitForLongLoad_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("entries");
    QTest::newRow("store") << "store" << 50001;
    QTest::newRow("import") << "import" << 50001;
    QTest::newRow("forget") << "forget" << 49999;
    QTest::newRow("exit") << "exit" << 50000;
}

// A long list is read on a thread of its own; whatever changes or saves it meanwhile
// waits for the load, so the file ends up with every entry it held plus the change.
void TestForm3::changesWaitForLongLoad()
{
    QFETCH(QString, change);
    QFETCH(int, entries);

    Windows::releaseAll();
    QByteArray list;
    for (int i = 0; i < 50000; ++i)
        list += "\"" + QByteArray::number(i) + ":entry " + QByteArray::number(100000 + i) +
                ":meter tin\"\r\n";
    // Turned into a blank at load, which leaves the list to be saved.
    list += "7:entry 200000 say \"hi\":me\r\n";
    m_install = std::make_unique<TestInstallation>(list);
    const QString exported = m_install->dataFile(QStringLiteral("export.txt"));
    m_install->write(QStringLiteral("export.txt"),
                     "\"Numbrill\"\r\n\"8\"\r\n\"new\"\r\n\"me\"\r\n");
    m_window = Windows::instance<Form3>();
    QSignalSpy arrived(m_window, &Form3::listLoaded);
    m_window->loadInBackground();
    QVERIFY(m_window->list()->isLoading());

    if (change == QLatin1String("store"))
        m_window->addEntry(QStringLiteral("new"), QStringLiteral(" me"));
    else if (change == QLatin1String("import"))
        m_window->ImportDb(exported);
    else if (change == QLatin1String("forget") && m_window->list()->removeEntry(1))
        m_window->unload();
    else if (change == QLatin1String("exit"))
        m_window->unloadForExit();
    QCOMPARE(arrived.size(), 1);

    const QByteArray file = saved();
    QCOMPARE(file.count("\r\n"), entries + 1);
    QVERIFY(file.contains("\"7:entry 200000 say  hi :me\"\r\n"));
    QCOMPARE(file.contains(":new:"), change == QLatin1String("store") || change == "import");
    QCOMPARE(file.contains(":entry 100000:"), change != QLatin1String("forget"));
    QCOMPARE(file.contains(":entry 149999:meter tin\""), true);
}

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
