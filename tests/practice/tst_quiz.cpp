#include "practice/Quiz.h"

#include <QSignalSpy>
#include <QTest>

using Judgement = Quiz::Judgement;

Q_DECLARE_METATYPE(Quiz::Judgement)

namespace {

// A quiz over fixed entries, with a clock the test moves and a known sequence of
// random values that repeats when it runs out.
struct Game
{
    explicit Game(const QList<RememberedEntry> &entries, QList<double> randoms = {0.0},
                  qint64 start = 0)
        : list(entries), now(start), sequence(std::move(randoms))
    {
        quiz.setClock([this] { return now; });
        quiz.setRandomSource([this] { return sequence.at(drawn++ % sequence.size()); });
        quiz.setEntrySource([this](int position) {
            return position <= list.size() ? std::optional(list.at(position - 1)) : std::nullopt;
        });
        quiz.load(int(list.size()));
    }

    QList<RememberedEntry> list;
    qint64 now;
    QList<double> sequence;
    qsizetype drawn = 0;
    Quiz quiz;
};

} // namespace

class TestQuiz : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void questionOrder_data();
    void questionOrder();
    void judging_data();
    void judging();
    void hint_data();
    void hint();
    void countdown_data();
    void countdown();
    void gameEndsOnceAndScoringGoesOn_data();
    void gameEndsOnceAndScoringGoesOn();
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
    QVERIFY(game.quiz.startQuiz());
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
    row("two digits", "123", "12", Judgement::Matching);
    row("wrong second digit", "123", "15", Judgement::NotMatching);
    row("4 in place of 3", "123", "124", Judgement::Unchanged);
    row("right", "123", "123", Judgement::Correct);
    row("longer than the answer", "123", "1234", Judgement::Unchanged);
    row("leading zeros count", "0123", "123", Judgement::NotMatching);
    row("case ignored", "12ab", "12aB", Judgement::Correct);
    row("an entry without digits never scores", "", "", Judgement::Matching);
}

void TestQuiz::judging()
{
    QFETCH(QString, answer);
    QFETCH(QString, typed);
    QFETCH(Judgement, judgement);

    Game game({{answer, "first", {}}, {"9", "second", {}}}, {0.0, 0.9});
    QVERIFY(game.quiz.startQuiz());
    QCOMPARE(game.quiz.judge(typed), judgement);
    // Only a right answer scores, and it brings the next question at once.
    const bool right = judgement == Judgement::Correct;
    QCOMPARE(game.quiz.score(), int(right));
    QCOMPARE(game.quiz.currentIndex(), right ? 2 : 1);
}

void TestQuiz::hint_data()
{
    QTest::addColumn<QString>("words");
    QTest::addColumn<QStringList>("shown"); // after each click

    const QStringList fourWords{"tie", "tie noah", "tie noah ma", "tie noah ma"};
    QTest::newRow("four words") << "tie noah ma rye" << fourWords;
    QTest::newRow("one word") << "tie" << QStringList{"tie", "tie"};
    QTest::newRow("stored since the program started") << " tie noah ma rye" << fourWords;
    QTest::newRow("no words") << "" << QStringList{"", ""};
}

void TestQuiz::hint()
{
    QFETCH(QString, words);
    QFETCH(QStringList, shown);

    Game game({{"1234", "d", words}});
    QVERIFY(game.quiz.startQuiz());
    QString label;
    for (const QString &expected : shown) {
        label = game.quiz.hint(label);
        QCOMPARE(label, expected);
    }
}

void TestQuiz::countdown_data()
{
    QTest::addColumn<int>("elapsed"); // milliseconds
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("over");

    QTest::newRow("one second") << 1000 << " 59" << false;
    QTest::newRow("58.5 to the even 58") << 1500 << " 58" << false;
    QTest::newRow("1.5 to the even 2") << 58500 << " 2" << false;
    QTest::newRow("0.5 to the even 0") << 59500 << " 0" << true;
    QTest::newRow("past") << 61000 << "-1" << true;
}

void TestQuiz::countdown()
{
    QFETCH(int, elapsed);
    QFETCH(QString, text);
    QFETCH(bool, over);

    // Only elapsed time counts: the game starts a second before a day is full.
    const qint64 start = 86399000;
    Game game({{"1", "d", {}}}, {0.0}, start);
    QSignalSpy countdown(&game.quiz, &Quiz::countdownChanged);
    QVERIFY(game.quiz.startQuiz());
    game.now = start + elapsed;
    game.quiz.tick();
    QCOMPARE(countdown.size(), 2);
    QCOMPARE(countdown.last().at(0).toString(), text);
    QCOMPARE(game.quiz.gameOver(), over);
}

void TestQuiz::gameEndsOnceAndScoringGoesOn_data()
{
    QTest::addColumn<int>("score");
    QTest::addColumn<QString>("message");

    QTest::newRow("0") << 0 << " Oops. You got zero correct. You need to practice more.";
    QTest::newRow("3") << 3 << "You got 3 correct.";
    QTest::newRow("6") << 6 << "Well Done. You got 6 correct.";
    QTest::newRow("9") << 9 << "Amazing. You got 9 correct.";
    QTest::newRow("12") << 12 << "Incredile. You got 12 correct. ";
    QTest::newRow("15") << 15 << "You are a memory Wizard. You got 15 correct.";
}

void TestQuiz::gameEndsOnceAndScoringGoesOn()
{
    QFETCH(int, score);
    QFETCH(QString, message);

    Game game({{"12", "d", {}}});
    QSignalSpy ended(&game.quiz, &Quiz::gameEnded);
    QSignalSpy countdown(&game.quiz, &Quiz::countdownChanged);
    QVERIFY(game.quiz.startQuiz());
    for (int i = 0; i < score; ++i)
        game.quiz.judge(QStringLiteral("12"));
    for (qint64 t : {60000, 61000, 62000}) {
        game.now = t;
        game.quiz.tick();
    }
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.at(0).at(0).toString(), message);
    // The ticks after the end write nothing: the " 0" stays.
    QCOMPARE(countdown.size(), 2);
    QCOMPARE(countdown.last().at(0).toString(), QStringLiteral(" 0"));

    QCOMPARE(game.quiz.judge(QStringLiteral("12")), Judgement::Correct);
    QCOMPARE(game.quiz.score(), score + 1);
}

void TestQuiz::vanishedEntryAsksNothing()
{
    Game game({{"101", "a", {}}, {"102", "b", {}}}, {0.0, 0.9});
    QVERIFY(game.quiz.startQuiz());
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
