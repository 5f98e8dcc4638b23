#include "practice/Quiz.h"

#include <QSignalSpy>
#include <QTest>

using Judgement = Quiz::Judgement;

Q_DECLARE_METATYPE(Quiz::Judgement)

namespace {

// A started quiz over fixed entries, with a known sequence of random values that
// repeats when it runs out.
struct Game
{
    explicit Game(const QList<RememberedEntry> &entries, QList<double> randoms = {0.0})
        : list(entries), sequence(std::move(randoms))
    {
        quiz.setClock([] { return qint64(0); });
        quiz.setRandomSource([this] { return sequence.at(drawn++ % sequence.size()); });
        quiz.setEntrySource([this](int position) {
            return position <= list.size() ? std::optional(list.at(position - 1)) : std::nullopt;
        });
        quiz.load(int(list.size()));
        started = quiz.startQuiz();
    }

    QList<RememberedEntry> list;
    QList<double> sequence;
    qsizetype drawn = 0;
    Quiz quiz;
    bool started = false;
};

} // namespace

// The rules of the self-test; tst_practicewindows plays it through its window.
class TestQuiz : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void questionOrder_data();
    void questionOrder();
    void judging_data();
    void judging();
    void scoreMessage_data();
    void scoreMessage();
    void vanishedEntryAsksNothing();
};

void TestQuiz::questionOrder_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<QList<double>>("randoms");
    QTest::addColumn<QList<int>>("asked");

    QTest::newRow("one entry every time") << 1 << QList<double>{0.9} << QList<int>{1, 1, 1};
    QTest::newRow("two alternate whatever is drawn")
        << 2 << QList<double>{0.1, 0.2, 0.9, 0.95, 0.3, 0.0} << QList<int>{1, 2, 1, 2, 1, 2};
    QTest::newRow("a repeat is drawn again")
        << 3 << QList<double>{0.5, 0.5, 0.5, 0.9, 0.0, 0.99} << QList<int>{2, 3, 1, 3};
    QTest::newRow("a value at the top end stays in range")
        << 3 << QList<double>{1.0, 0.0} << QList<int>{3, 1, 3, 1};
}

void TestQuiz::questionOrder()
{
    QFETCH(int, entries);
    QFETCH(QList<double>, randoms);
    QFETCH(QList<int>, asked);

    Game game(QList<RememberedEntry>(entries, {"101", "d", {}}), randoms);
    QVERIFY(game.started);
    QList<int> seen{game.quiz.currentIndex()};
    while (seen.size() < asked.size()) {
        game.quiz.nextQuestion();
        seen.append(game.quiz.currentIndex());
    }
    QCOMPARE(seen, asked);
}

void TestQuiz::judging_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Judgement>("judgement");

    const auto row = [](const char *name, const char *answer, const char *typed, Judgement j) {
        QTest::newRow(name) << answer << typed << j;
    };
    row("first digit", "123", "1", Judgement::Matching);
    row("wrong second digit", "123", "15", Judgement::NotMatching);
    row("4 in place of 3", "123", "124", Judgement::Unchanged);
    row("right", "123", "123", Judgement::Correct);
    row("longer than the answer", "123", "1234", Judgement::Unchanged);
    row("leading zeros count", "0123", "123", Judgement::NotMatching);
    row("case ignored in a beginning", "12ab", "12A", Judgement::Matching);
    row("case ignored", "12ab", "12aB", Judgement::Correct);
    row("an entry without digits never scores", "", "", Judgement::Matching);
}

void TestQuiz::judging()
{
    QFETCH(QString, answer);
    QFETCH(QString, typed);
    QFETCH(Judgement, judgement);

    Game game({{answer, "first", {}}, {"9", "second", {}}}, {0.0, 0.9});
    QCOMPARE(game.quiz.judge(typed), judgement);
    // Only a right answer scores, and it brings the next question at once.
    const bool right = judgement == Judgement::Correct;
    QCOMPARE(game.quiz.score(), int(right));
    QCOMPARE(game.quiz.currentIndex(), right ? 2 : 1);
}

void TestQuiz::scoreMessage_data()
{
    QTest::addColumn<int>("score");
    QTest::addColumn<QString>("message");

    QTest::newRow("0") << 0 << " Oops. You got zero correct. You need to practice more.";
    QTest::newRow("3") << 3 << "You got 3 correct.";
    QTest::newRow("4") << 4 << "Well Done. You got 4 correct.";
    QTest::newRow("9") << 9 << "Amazing. You got 9 correct.";
    QTest::newRow("12") << 12 << "Incredile. You got 12 correct. ";
    QTest::newRow("15") << 15 << "You are a memory Wizard. You got 15 correct.";
}

void TestQuiz::scoreMessage()
{
    QFETCH(int, score);
    QFETCH(QString, message);
    QCOMPARE(Quiz::scoreMessage(score), message);
}

void TestQuiz::vanishedEntryAsksNothing()
{
    Game game({{"101", "a", {}}, {"102", "b", {}}}, {0.0, 0.9});
    // The list loses its rows after the quiz counted them.
    game.list.clear();
    QSignalSpy questions(&game.quiz, &Quiz::questionChanged);
    game.quiz.nextQuestion();
    QCOMPARE(game.quiz.currentIndex(), 0);
    QVERIFY(questions.isEmpty());
    QCOMPARE(game.quiz.judge(QStringLiteral("102")), Judgement::Ignored);
    QCOMPARE(game.quiz.hint(QStringLiteral("tie")), QStringLiteral("tie"));
}

QTEST_GUILESS_MAIN(TestQuiz)
#include "tst_quiz.moc"
