#include "TestInstallation.h"
#include "practice/Form4.h"
#include "practice/Quiz.h"
#include "remembered/Form3.h"
#include "remembered/RememberedList.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QColor darkBlue(0, 0, 192);
const QColor red(255, 0, 0);

} // namespace

// Plays the quiz through its window, as the main window opens it, with a clock the
// test moves and a known sequence of random values. The judging, countdown and score
// rules themselves are tested on the quiz logic (tst_quiz); this test proves the
// window shows them.
class TestForm4 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void noEntriesLeavesTheWindowEmpty();
    void fullGame();
    void closingSavesUnloadsAndReopensAfresh();

private:
    // Entries written as "value:description:words"; the window is created, not shown.
    void install(const QStringList &entries);
    void tickAt(qint64 milliseconds)
    {
        m_now = milliseconds;
        QVERIFY(QMetaObject::invokeMethod(child<QTimer>("Timer1"), "timeout"));
    }
    // Stores a number as the store flow does, which puts a blank before every word.
    void addEntry(const char *value, const char *description, const char *words)
    {
        Windows::instance<Form3>()->load();
        Windows::instance<Form3>()->list()->addEntry(value, description, words);
    }
    template <class T> T *child(const char *name) const { return m_form->findChild<T *>(name); }
    QLineEdit *answer() const { return child<QLineEdit>("Text2"); }
    QColor answerColour() const { return answer()->palette().color(QPalette::Text); }
    QString text(const char *label) const { return child<QLabel>(label)->text(); }
    // \b is the backspace key.
    void type(const QString &keys) { QTest::keyClicks(answer(), keys); }
    void click(const char *name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }

    std::unique_ptr<TestInstallation> m_install;
    Form4 *m_form = nullptr;
    qint64 m_now = 0;
};

void TestForm4::cleanup()
{
    Windows::releaseAll();
    m_form = nullptr;
    m_install.reset();
}

void TestForm4::install(const QStringList &entries)
{
    MessageBox::answerInstead(true);
    m_now = 5000;
    QByteArray file("");
    for (const QString &entry : entries)
        file += '"' + entry.toLatin1() + "\"\r\n";
    m_install = std::make_unique<TestInstallation>(file, false);
    m_form = Windows::instance<Form4>();
    m_form->quiz()->setClock([this] { return m_now; });
    // The first entry comes first; with two they alternate anyway.
    m_form->quiz()->setRandomSource([drawn = 0]() mutable { return drawn++ % 2 ? 0.9 : 0.0; });
}

void TestForm4::noEntriesLeavesTheWindowEmpty()
{
    install({});
    m_form->show();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().at(0).text,
             QStringLiteral(" I am sorry but you do not have any entries to be quized on. Please "
                            "enter some numbers then try again."));
    QVERIFY(!child<QTimer>("Timer1")->isActive());

    type(QStringLiteral("123"));
    click("Command2");
    click("Command1");
    QCOMPARE(answerColour(), red);
    for (const char *label : {"Label1", "Label3", "TimeLabel"})
        QCOMPARE(text(label), QString());
    QCOMPARE(text("ScoreLabel"), QStringLiteral("0"));
    QCOMPARE(MessageBox::shown().size(), 1);
}

void TestForm4::fullGame()
{
    install({QStringLiteral("22:beta:nun")});
    addEntry("123", "alpha", " tie noah ma rye");
    m_form->show();
    QCOMPARE(text("Label1"), QStringLiteral("alpha"));
    QCOMPARE(text("TimeLabel"), QStringLiteral("60"));
    QCOMPARE(answerColour(), red);
    // There is no Enter key: it neither answers nor skips.
    QTest::keyClick(answer(), Qt::Key_Return);
    QVERIFY(m_form->isVisible());

    click("Command1");
    click("Command1");
    QCOMPARE(text("Label3"), QStringLiteral("tie noah"));
    QCOMPARE(m_form->focusWidget(), answer());

    // The colours follow each change of the answer to 123.
    type(QStringLiteral("12"));
    QCOMPARE(answerColour(), darkBlue);
    type(QStringLiteral("4"));
    QCOMPARE(answerColour(), darkBlue);
    type(QStringLiteral("\b\b5"));
    QCOMPARE(answerColour(), red);
    type(QStringLiteral("\b23"));
    QCOMPARE(text("ScoreLabel"), QStringLiteral("1"));
    QCOMPARE(text("Label1"), QStringLiteral("beta"));
    QCOMPARE(answer()->text(), QString());
    QCOMPARE(text("Label3"), QString());
    click("Command2");
    QCOMPARE(text("Label1"), QStringLiteral("alpha"));
    QCOMPARE(text("ScoreLabel"), QStringLiteral("1"));

    tickAt(65000);
    QCOMPARE(text("TimeLabel"), QStringLiteral(" 0"));
    tickAt(66000);
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().at(0).text, QStringLiteral("You got 1 correct."));
    QCOMPARE(child<QPushButton>("Command2")->text(), QStringLiteral("Again"));

    // Over, answers still score.
    type(QStringLiteral("123"));
    QCOMPARE(text("ScoreLabel"), QStringLiteral("2"));

    click("Command2");
    QCOMPARE(text("ScoreLabel"), QStringLiteral("0"));
    QCOMPARE(text("TimeLabel"), QStringLiteral("60"));
    QCOMPARE(child<QPushButton>("Command2")->text(), QStringLiteral("Next"));
    tickAt(67000);
    QCOMPARE(text("TimeLabel"), QStringLiteral(" 59"));
}

void TestForm4::closingSavesUnloadsAndReopensAfresh()
{
    install({QStringLiteral("123:pi start:tie noah ma")});
    addEntry("456", "added", " real law");
    m_form->show();
    type(QStringLiteral("456"));
    click("Command1");
    tickAt(m_now + 60000);

    // Closed as the main window's closing closes it, after a game that left its traces.
    QVERIFY(m_form->close());
    QVERIFY(!child<QTimer>("Timer1")->isActive());
    QVERIFY(!Windows::instance<Form3>()->isLoaded());
    QCOMPARE(m_install->read(QStringLiteral("rv.db")),
             QByteArray("\"456:added: real law\"\r\n\"123:pi start:tie noah ma\"\r\n"));

    m_form->show();
    QVERIFY(Windows::instance<Form3>()->isLoaded());
    QVERIFY(child<QTimer>("Timer1")->isActive());
    QCOMPARE(child<QPushButton>("Command2")->text(), QStringLiteral("Next"));
    QCOMPARE(text("ScoreLabel"), QStringLiteral("0"));
    QCOMPARE(text("Label3"), QString());
    QCOMPARE(answerColour(), red);
}

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
