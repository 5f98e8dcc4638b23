#include "TestInstallation.h"
#include "remembered/ExitSave.h"
#include "remembered/RememberedList.h"
#include "remembered/RememberedNumbers.h"
#include "remembered/ReviewWindow.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <memory>

namespace {

// Sorted by description: ""(12), alpha house(3), beta house(1000), delta(1), Gamma(999).
const QByteArray fixture("\"1000:beta house:bus\"\r\n"
                         "\"1:delta:tea\"\r\n"
                         "\"999:Gamma:pop\"\r\n"
                         "\"12::tin\"\r\n"
                         "\"3:alpha house:me\"\r\n");
const QString allShown = QStringLiteral("shown |alpha house|beta house|delta|Gamma");

} // namespace

// Drives the remembered-numbers window as a user would, over a small list, and
// checks what the window shows, what it says and what reaches the files.
class TestReviewWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void scenario_data();
    void scenario();

private:
    void step(const QString &text);
    void check(const QString &probe);
    QTreeView *view() const { return m_window->findChild<QTreeView *>("ListView1"); }
    QLineEdit *box() const { return m_window->findChild<QLineEdit *>("Text1"); }
    static RememberedNumbers *numbers() { return RememberedNumbers::instance(); }

    std::unique_ptr<TestInstallation> m_install;
    std::unique_ptr<QSignalSpy> m_loaded;
    ReviewWindow *m_window = nullptr;
    int m_told = 0; // message boxes matched so far
};

void TestReviewWindow::init()
{
    MessageBox::answerInstead(true);
    FileDialog::answerInstead(true);
    m_install = std::make_unique<TestInstallation>(fixture);
    m_told = 0;
    step(QStringLiteral("restart"));
}

void TestReviewWindow::cleanup()
{
    m_loaded.reset();
    Windows::releaseAll();
    RememberedNumbers::release();
}

// A scenario is a list of steps, "verb argument", done in order, then a list of
// probes, "what expected", checked at the end; both are separated by "; ". Every
// message box shown must be matched by a "told" or "asked" probe, in order.
//
// Steps: keys (pressed in the list), type (into the search box), select N (row N
// alone, 0 none), answer (the next message box), pick (the next file dialog's
// choice, a file in the data folder; none queued is a cancel), click (a button),
// sort N (a click on a column header), store DESC|WORDS (what the store flow
// calls), append V|D|W, write NAME BYTES, folder NAME (a folder in its place),
// remove NAME (a file or folder), wait (until work on the list has ended), reopen,
// exit (the program ends), restart (the program anew), long (a list long enough to be read in the
// background, then the program anew), busy TEXT (the line that tells what runs, now).
//
// Probes: shown (the descriptions, top to bottom), values (the numbers), search
// (search text|box|last found|selected description), told (a message that contains
// the text), asked (a message, title|text exactly), dialogs (the names the file
// dialogs started with), waited NAME (the last Open dialog took the name of a file
// still being written), uses WORD N, lines N (of rv.db), kept (rv.db untouched),
// quit (the user chose to quit without saving), and NAME=BYTES, NAME~BYTES,
// NAME!BYTES: a data file holds, contains or lacks these bytes (UTF-8).
void TestReviewWindow::scenario_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("threads");
    // Each scenario runs twice: with the list's work done at once, and on threads as
    // for a long list.
    const auto row = [](const char *name, const QString &steps, const QString &probes) {
        for (const bool threads : {false, true})
            QTest::addRow("%s%s", name, threads ? ", on threads" : "")
                << steps + QStringLiteral("; ") + probes << threads;
    };

    // Rows: 1 "", 2 alpha house, 3 beta house, 4 delta, 5 Gamma.
    // From row 2: 2, then Return and Enter step on to 3, 4, 5 and wrap to 2, 3.
    row("Shift alone, Return and Enter", "keys a^\n\r\n\r\n", "search a|a|3|beta house");
    row("Shift gives capitals, found on the last row; space bar, no match", "keys G ",
        "search G |G |5|(none)");
    row("Backspace, one letter at a time, then on empty", "keys hou\b\b\b\b",
        "search ||3|beta house");
    // Both passes look for what was typed: "ta" after row 3 is "delta".
    row("typed into the box", "type ta", "search ta|ta|4|delta");
    row("Backspace in the box", "type ta\b", "search t|t|3|beta house");

    row("Value sorts as text, ascending at every click", "sort 2; sort 0; sort 0",
        "values 1|1000|12|3|999");

    const QString askBeta("asked Confirm Delete|Do you want to delete entry for beta house");
    row("forget, saved at once, and an empty description",
        "select 3; click Command1; select 1; click Command1",
        askBeta +
            "; asked Confirm Delete|Do you want to delete entry for ; rv.db!beta; rv.db!\"12:; "
            "shown alpha house|delta|Gamma; lines 3");
    row("forget, answered No, and with nothing selected",
        "select 3; answer No; click Command1; select 0; click Command1",
        askBeta + "; " + allShown + "; kept");
    row("forget after sorting", "select 3; sort 0; click Command1",
        askBeta + "; values 1|12|3|999");

    // Only the entry without a description comes back, as "empty". Export and import
    // share the name chosen last; cancelled, they touch nothing.
    row("export, then import into the same list",
        "click ExportButton; click ImportButton; pick moved.txt; click ExportButton; "
        "pick moved.txt; click ImportButton",
        "moved.txt~\"Numbrill\"\r\n\"12\"\r\n\"empty\"\r\n\"tin\"\r\n\"3\"\r\n; "
        "dialogs out.txt|out.txt|out.txt|moved.txt; "
        "shown |alpha house|beta house|delta|empty|Gamma; rv.db~\"12:empty:tin\"\r\n");
    row("import no file, an empty file, a wrong header",
        "pick in.txt; click ImportButton; write in.txt ; pick in.txt; click ImportButton; "
        "write in.txt \"NUMBRILL\"\r\n\"5\"\r\n\"x\"\r\n\"law\"\r\n; pick in.txt; click "
        "ImportButton",
        "told in.txt could not be read: No such file or directory; asked Numbrill|Invalid "
        "Format. You can only import files exported from Numbrill.; " +
            allShown + "; kept");
    row("import cut short",
        "write in.txt \"Numbrill\"\r\n\"5\"\r\n\"lily\"\r\n\"law\"\r\n\"6\"\r\n; pick in.txt; "
        "click ImportButton",
        "told in.txt ends in the middle of an entry. Entries imported before it: 1.; "
        "rv.db~\"5:lily:law\"\r\n; lines 6");
    // Imported words are counted at the next load.
    row("import a record twice, one held, empty words",
        "write in.txt \"Numbrill\"\r\n\"5\"\r\n\"lily\"\r\n\" law\"\r\n\"5\"\r\n\"lily\"\r\n"
        "\" law\"\r\n\"1\"\r\n\"delta\"\r\n\"tea\"\r\n\"4\"\r\n\"door\"\r\n\"\"\r\n; pick in.txt; "
        "click ImportButton",
        "shown |alpha house|beta house|delta|door|Gamma|lily; rv.db~\"5:lily: law\"; "
        "uses law 0");
    row("import LF only, unquoted lines, colons; CR only, a quote in an unquoted line",
        "write in.txt \"Numbrill\"\n5\nlily\nlaw\n\n\"7\"\n\"at 10:30\"\n\"key\"\n\"8:9\"\n"
        "\"x\"\n\"fob\"\n\"3\"\n\"door\"\n\"me: mum\"\n\n; pick in.txt; click ImportButton; "
        "write cr.txt \"Numbrill\"\r6\rsay \"hi\"\r\"jaw\"\r; pick cr.txt; click ImportButton",
        "told colon: 2.; told double quote: 1.; "
        "shown |alpha house|beta house|delta|door|Gamma|lily|say  hi ; rv.db~\"3:door:me: mum\"");

    // An entry the list file cannot hold cannot be exported either.
    row("flash cards",
        QStringLiteral("click FlashCardButton; append 3141|pi| moderate; "
                       "append 9|b\tc\r\nd\ne\u2028caf\u00e9 \u20ac|bee; "
                       "append 2|caf\u00e9 au lait \u2026\u20ac\u0081 to go \u00ff "
                       "tab\tvt\vff\fend|  w\u00f6rd; "
                       "pick cards.txt; click FlashCardButton; folder taken; pick taken; "
                       "click FlashCardButton; pick out2.txt; click ExportButton"),
        QStringLiteral(
            "cards.txt=#separator:tab\n#html:false\n\t12 tin\nalpha house\t3 me\n"
            "b c d e caf\u00e9 \u20ac\t9 bee\nbeta house\t1000 bus\n"
            "caf\u00e9 au lait \u2026\u20ac\u0081 to go \u00ff tab vt ff end\t2 w\u00f6rd\n"
            "delta\t1 tea\nGamma\t999 pop\npi\t3141 moderate\n; "
            "dialogs flashcards.txt|flashcards.txt|cards.txt|out.txt; told taken; "
            "told cannot be stored in a file; out2.txt=; kept"));

    // A chain stored in this run reads as it will after a restart: it sorts by its
    // words, and its export is held when imported again after a restart (only the
    // entry without a description comes back, as "empty").
    row("a stored chain sorts by its words", "store zed| zz; sort 2",
        "shown beta house|alpha house|Gamma|delta||zed; rv.db~\":zed: zz\"");
    row("a stored chain, exported, is held at an import after a restart",
        "store dupx| law; pick d.txt; click ExportButton; restart; pick d.txt; "
        "click ImportButton; restart; pick d.txt; click ImportButton",
        "lines 7; rv.db~\"12:empty:tin\"; d.txt~\"dupx\"\r\n\"law\"\r\n");
    // A store after the window closed loads the list again first; one after a sort
    // takes its place by the column sorted by.
    row("store after closing", "click Close; store epsilon| me",
        "lines 6; rv.db~\"1:delta:tea\"\r\n\":epsilon: me\"\r\n");
    row("store after a sort", "sort 0; store zzz| aa", "values |1|1000|12|3|999");
    row("store, close, open again", "store epsilon| me; click Close; reopen",
        "rv.db~\":epsilon: me\"\r\n; uses me 2; shown |alpha house|beta house|delta|epsilon|Gamma");
    // A failing save is told once and kept, even when the window closes; the next
    // change saves it all. At exit the user may retry, or quit without saving.
    row("saves that fail",
        "folder rv2.db; store one| me; store two| me; click Close; remove rv2.db; "
        "store three| me; folder rv2.db; store four| me; wait; answer Retry; answer Discard; "
        "exit; exit",
        "told rv2.db; told rv2.db; told Filename refers to a directory; "
        "told Filename refers to a directory; rv.db~\":one: me\"; rv.db~\":two: me\"; "
        "rv.db~\":three: me\"; rv.db!four; quit");

    // Whatever rv.db holds comes in as entries that save cleanly; text the file cannot
    // hold comes in with blanks, told, and the list is saved clean.
    row("load a hand-edited rv.db",
        "write rv.db \"12:time: 10:30: tin\"\r\n\r\n42 no quotes:answer: rain\r\n\"7\"\r\n"
        "\"8:eight\"\r\n\"\"\r\n\"99:a, b:  pip  pop\"\n\"5:no end:lie; restart; store new| me",
        "rv.db=\"7::\"\r\n\"99:a, b:pip  pop\"\r\n\"42 no quotes:answer:rain\"\r\n\"8:eight:\"\r\n"
        "\":new: me\"\r\n\"5:no end:lie\"\r\n\"12:time:10:30: tin\"\r\n");
    row("load old Mac line ends", "write rv.db \"1:a:\"\r\"2:b:\"\r\"3:c:\"; restart; store d| ma",
        "rv.db=\"1:a:\"\r\n\"2:b:\"\r\n\"3:c:\"\r\n\":d: ma\"\r\n");
    row("load quotes in unquoted lines",
        "write rv.db 4:say \"hi\":\"me\r\n\"5:fine:law\"\n6:a\"b:c\r2:b\":\r\n; restart; exit",
        "told 3 of your; "
        "rv.db=\"6:a b:c\"\r\n\"2:b :\"\r\n\"5:fine:law\"\r\n\"4:say  hi :me\"\r\n");
    // A save cut short between its two files leaves rv.db whole, old or new; without
    // rv.db, rv2.db holds the list, which goes back into rv.db.
    const QString newer("write rv2.db \"1:a:\"\r\n\"2:b:\"\r\n; ");
    row("load an empty rv.db beside rv2.db", "write rv.db ; " + newer + "restart; store c| ma",
        "rv.db=\":c: ma\"\r\n");
    row("load rv2.db when rv.db is gone", "remove rv.db; " + newer + "restart; store c| ma",
        "rv.db=\"1:a:\"\r\n\"2:b:\"\r\n\":c: ma\"\r\n");
    row("load with neither file", "remove rv.db; restart; store c| ma", "rv.db=\":c: ma\"\r\n");
    // An unreadable rv.db is left as it is; when no file can be read, nothing is saved.
    row("load rv2.db when rv.db is unreadable", "folder rv.db; " + newer + "restart; store c| ma",
        "told loaded from; rv.db=; rv2.db=\"1:a:\"\r\n\"2:b:\"\r\n\":c: ma\"\r\n");
    row("load, rv.db unreadable, no rv2.db; and once rv.db reads again",
        "folder rv.db; restart; store two| nun; remove rv.db; write rv.db \"3:x:\"\r\n; "
        "click Close; reopen; store two| nun",
        "told there is no copy in; shown two|two; rv.db=\"3:x:\"\r\n; "
        "rv2.db=\":two:nun\"\r\n\":two: nun\"\r\n");
    row("load, rv2.db unreadable", "remove rv.db; folder rv2.db; restart; store c| ma",
        "told left as they are; told could not be saved; rv.db=");
    row("load, neither readable", "folder rv.db; folder rv2.db; restart; store c| ma",
        "told left as they are; told could not be saved; shown c");

    // A long list is read on a thread of its own; whatever changes or saves it meanwhile
    // waits for the load, so the file keeps every entry plus the change. The last line
    // turns into a blank at load, which leaves the list to be saved.
    const QString kept("rv.db~\"7:entry 200000 say  hi :me\"\r\n; "
                       "rv.db~:entry 149999:meter tin\"\r\n; ");
    row("long list, store", "long; store new| me",
        kept + "told 1 of your; lines 50002; rv.db~:new: me");
    row("long list, import",
        "write in.txt \"Numbrill\"\r\n\"8\"\r\n\"new\"\r\n\"me\"\r\n; long; pick in.txt; "
        "click ImportButton",
        kept + "told 1 of your; lines 50002; rv.db~\"8:new:me\"");
    row("long list, exit", "long; exit", kept + "lines 50001; rv.db~:entry 100000:");
    row("long list, store, window gone", "long; store new| me; restart",
        kept + "lines 50002; rv.db~:new: me");
    row("long list, export", "long; pick x.txt; click ExportButton",
        "told 1 of your; x.txt~\"entry 149999\"\r\n\"meter tin\"\r\n\"7\"");
    // The import of a file an export still writes waits for it.
    row("long list, export and import of the same file",
        "long; pick x.txt; click ExportButton; pick x.txt; click ImportButton",
        "told 1 of your; lines 50001; waited x.txt");
    row("long list, a line tells what runs", "long; busy Loading the list...; wait; busy ",
        "told 1 of your");
}

void TestReviewWindow::scenario()
{
    QFETCH(QString, steps);
    QFETCH(bool, threads);
    static const qsizetype usual = RememberedNumbers::longList();
    RememberedNumbers::setLongList(threads ? 0 : usual);

    for (const QString &text : steps.split(QStringLiteral("; "))) {
        step(text);
        if (QTest::currentTestFailed())
            return;
    }
    QCOMPARE(m_told, MessageBox::shown().size());
    if (m_loaded)
        QCOMPARE(m_loaded->size(), 1);
    // Nothing is written to the working folder, as a cancelled dialog might.
    QVERIFY(!QFile::exists(QStringLiteral("out.txt")));
}

void TestReviewWindow::step(const QString &text)
{
    const QString verb = text.section(u' ', 0, 0);
    const QString arg = text.section(u' ', 1);
    const QString path = m_install->dataFile(arg.section(u' ', 0, 0));
    const QStringList fields = arg.split(u'|');
    // Files change once the work on the list has ended, as they would for a user;
    // everything else may meet work still running.
    if (QStringList{"write", "folder", "remove", "wait"}.contains(verb))
        QTRY_VERIFY(!numbers()->isBusy());
    // Keys pressed in the list: letters (capitals with Shift), digits and blanks as they
    // are, \b Backspace, \n Return, \r Enter and ^ the Shift key alone.
    static const QHash<QChar, Qt::Key> special{{u'\b', Qt::Key_Backspace},
                                               {u'\n', Qt::Key_Return},
                                               {u'\r', Qt::Key_Enter},
                                               {u'^', Qt::Key_Shift}};
    if (verb == u"keys") {
        for (const QChar c : arg) {
            QTest::keyClick(view(), special.value(c, Qt::Key(c.toUpper().unicode())),
                            c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier);
        }
    } else if (verb == u"type") {
        QTest::keyClicks(box(), arg);
    } else if (verb == u"select") {
        view()->clearSelection();
        if (arg.toInt() > 0)
            view()->setCurrentIndex(numbers()->model()->index(arg.toInt() - 1, 0));
    } else if (verb == u"answer") {
        MessageBox::queueAnswer(arg == u"No"      ? QMessageBox::No
                                : arg == u"Retry" ? QMessageBox::Retry
                                                  : QMessageBox::Discard);
    } else if (verb == u"pick") {
        FileDialog::queueAnswer(path);
    } else if (verb == u"click") {
        QTest::mouseClick(m_window->findChild<QPushButton *>(arg), Qt::LeftButton);
    } else if (verb == u"sort") {
        QHeaderView *header = view()->header();
        const QPoint at(header->sectionViewportPosition(arg.toInt()) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    } else if (verb == u"store") {
        numbers()->store({QString(), fields.value(0), fields.value(1)});
    } else if (verb == u"append") {
        numbers()->model()->appendEntry({fields.value(0), fields.value(1), fields.value(2)});
    } else if (verb == u"write") {
        QVERIFY(m_install->write(arg.section(u' ', 0, 0), arg.section(u' ', 1).toUtf8()));
    } else if (verb == u"folder" || verb == u"remove") {
        if (!QFile::remove(path))
            QDir().rmdir(path);
        QVERIFY(verb == u"folder" ? QDir().mkpath(path) : !QFileInfo::exists(path));
    } else if (verb == u"busy") {
        const auto *line = m_window->findChild<QLabel *>(QStringLiteral("BusyLine"));
        QVERIFY(line && line->isVisible());
        QCOMPARE(line->text(), arg);
    } else if (verb == u"wait") {
    } else if (verb == u"reopen") {
        // As the Review command opens it.
        m_window->load();
        m_window->show();
    } else if (verb == u"exit") {
        m_window->hide();
        ExitSave::run(m_window);
    } else if (verb == u"restart" || verb == u"long") {
        QByteArray list;
        for (int i = 0; verb == u"long" && i < 50000; ++i)
            list += "\"" + QByteArray::number(i) + ":entry " + QByteArray::number(100000 + i) +
                    ":meter tin\"\r\n";
        if (!list.isEmpty())
            QVERIFY(m_install->write(QStringLiteral("rv.db"),
                                     list + "7:entry 200000 say \"hi\":me\r\n"));
        // The program ends, its list saved, and starts again.
        Windows::releaseAll();
        RememberedNumbers::release();
        m_window = Windows::instance<ReviewWindow>();
        if (verb == u"long") {
            m_loaded = std::make_unique<QSignalSpy>(numbers(), &RememberedNumbers::loaded);
            m_window->load();
            QVERIFY(numbers()->isLoading());
        } else {
            m_window->load();
            // As the program starts: the list is there before the user acts.
            QTRY_VERIFY(numbers()->isLoaded() && !numbers()->isBusy());
        }
        m_window->show();
    } else {
        check(text);
    }
}

void TestReviewWindow::check(const QString &probe)
{
    // Work on a long list ends on a thread of its own.
    QTRY_VERIFY(!numbers()->isBusy());
    const QString what = probe.section(u' ', 0, 0);
    const QString arg = probe.section(u' ', 1);
    const QList<MessageBox::Shown> messages = MessageBox::shown();
    const RememberedList *list = numbers()->model();
    if (what == u"shown" || what == u"values") {
        QStringList texts;
        for (int position = 1; position <= list->entryCount(); ++position)
            texts.append(what == u"shown" ? list->entry(position).Description
                                          : list->entry(position).Value);
        QCOMPARE(texts.join(u'|'), arg);
    } else if (what == u"search") {
        const QModelIndexList rows = view()->selectionModel()->selectedRows();
        const QString selected = rows.isEmpty() ? QStringLiteral("(none)")
                                                : list->entry(rows.first().row() + 1).Description;
        QCOMPARE(QStringList({m_window->searchText(), box()->text(),
                              QString::number(m_window->lastFound()), selected})
                     .join(u'|'),
                 arg);
    } else if (what == u"told" || what == u"asked") {
        QVERIFY2(m_told < messages.size(), qPrintable(QLatin1String("not told: ") + arg));
        const MessageBox::Shown &message = messages.at(m_told++);
        if (what == u"asked")
            QCOMPARE(message.title + u'|' + message.text, arg);
        else
            QVERIFY2(message.text.contains(arg), qPrintable(message.text));
    } else if (what == u"dialogs") {
        QStringList names;
        for (const QString &name : FileDialog::initialNames())
            names.append(QFileInfo(name).fileName());
        QCOMPARE(names.join(u'|'), arg);
    } else if (what == u"waited") {
        QStringList names;
        for (const QString &name : FileDialog::onTheirWay())
            names.append(QFileInfo(name).fileName());
        QCOMPARE(names.join(u'|'), arg);
    } else if (what == u"uses") {
        QCOMPARE(numbers()->uses(arg.section(u' ', 0, 0)), arg.section(u' ', 1).toInt());
    } else if (what == u"lines") {
        QCOMPARE(m_install->read(QStringLiteral("rv.db")).count("\r\n"), arg.toInt());
    } else if (what == u"kept") {
        QCOMPARE(m_install->read(QStringLiteral("rv.db")), fixture);
    } else if (what == u"quit") {
        QVERIFY(numbers()->discarded());
    } else {
        const qsizetype at = probe.indexOf(QRegularExpression(QStringLiteral("[=~!]")));
        const QString bytes = QString::fromUtf8(m_install->read(probe.left(at)));
        const QString expected = probe.mid(at + 1);
        if (probe.at(at) == u'=')
            QCOMPARE(bytes, expected);
        else
            QVERIFY2(bytes.contains(expected) == (probe.at(at) == u'~'), qPrintable(probe));
    }
}

QTEST_MAIN(TestReviewWindow)
#include "tst_reviewwindow.moc"
