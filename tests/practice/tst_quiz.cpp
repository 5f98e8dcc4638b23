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
        quiz.setEntrySource([this](int position) -> std::optional<RememberedEntry> {
            if (position < 1 || position > list.size())
                return std::nullopt;
            return list.at(position - 1);
        });
        quiz.load(int(list.size()));
    }

    QList<RememberedEntry> list;
    qint64 now;
    QList<double> sequence;
    qsizetype drawn = 0;
    Quiz quiz;
};

QList<RememberedEntry> numbered(int count)
{
    QList<RememberedEntry> entries;
    for (int i = 1; i <= count; ++i)
        entries.append({QString::number(100 + i), QStringLiteral("entry %1").arg(i), {}});
    return entries;
}

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
    void gameEndsOnceAndScoringGoesOn();
    void vanishedEntryAsksNothing();
    void scoreMessage_data();
    void scoreMessage();
};

void TestQuiz::questionOrder_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<QList<double>>("randoms");
    QTest::addColumn<QList<int>>("asked");

    QTest::newRow("one entry every time") << 1 << QList<double>{0.9} << QList<int>{1, 1, 1, 1};
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

    Game game(numbered(entries), randoms);
    QSignalSpy questions(&game.quiz, &Quiz::questionChanged);
    QVERIFY(game.quiz.startQuiz());
    QList<int> seen{game.quiz.currentIndex()};
    while (seen.size() < asked.size()) {
        game.quiz.nextQuestion();
        seen.append(game.quiz.currentIndex());
    }
    QCOMPARE(seen, asked);
    QCOMPARE(questions.size(), asked.size());
    QCOMPARE(questions.last().at(0).toString(), QStringLiteral("entry %1").arg(asked.last()));
}

void TestQuiz::judging_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Judgement>("judgement");
    QTest::addColumn<int>("score");

    QTest::newRow("empty box") << "123"
                               << "" << Judgement::Matching << 0;
    QTest::newRow("first digit") << "123"
                                 << "1" << Judgement::Matching << 0;
    QTest::newRow("two digits") << "123"
                                << "12" << Judgement::Matching << 0;
    QTest::newRow("wrong second digit") << "123"
                                        << "15" << Judgement::NotMatching << 0;
    QTest::newRow("wrong first digit") << "123"
                                       << "4" << Judgement::NotMatching << 0;
    QTest::newRow("4 in place of 3") << "123"
                                     << "124" << Judgement::Unchanged << 0;
    QTest::newRow("right") << "123"
                           << "123" << Judgement::Correct << 1;
    QTest::newRow("longer than the answer") << "123"
                                            << "1234" << Judgement::Unchanged << 0;
    QTest::newRow("leading zeros count") << "0123"
                                         << "123" << Judgement::NotMatching << 0;
    QTest::newRow("case ignored in the beginning") << "12ab"
                                                   << "12A" << Judgement::Matching << 0;
    QTest::newRow("case ignored in the whole") << "12ab"
                                               << "12aB" << Judgement::Correct << 1;
    QTest::newRow("an entry without digits never scores") << ""
                                                          << "" << Judgement::Matching << 0;
}

void TestQuiz::judging()
{
    QFETCH(QString, answer);
    QFETCH(QString, typed);
    QFETCH(Judgement, judgement);
    QFETCH(int, score);

    Game game({{answer, QStringLiteral("first"), {}},
               {QStringLiteral("9"), QStringLiteral("second"), {}}},
              {0.0, 0.9});
    QVERIFY(game.quiz.startQuiz());
    QCOMPARE(game.quiz.currentIndex(), 1);
    QSignalSpy questions(&game.quiz, &Quiz::questionChanged);

    QCOMPARE(game.quiz.judge(typed), judgement);
    QCOMPARE(game.quiz.score(), score);
    // A right answer brings the next question at once.
    QCOMPARE(questions.size(), score);
    QCOMPARE(game.quiz.currentIndex(), score == 1 ? 2 : 1);
}

void TestQuiz::hint_data()
{
    QTest::addColumn<QString>("words");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("four words") << "tie noah ma rye"
                                << QStringList{"tie", "tie noah", "tie noah ma", "tie noah ma"};
    QTest::newRow("one word") << "tie" << QStringList{"tie", "tie", "tie"};
    QTest::newRow("two words") << "tie noah" << QStringList{"tie", "tie noah", "tie noah"};
    QTest::newRow("stored since the program started")
        << " tie noah ma rye" << QStringList{"tie", "tie noah", "tie noah ma", "tie noah ma"};
    QTest::newRow("no words") << "" << QStringList{"", ""};
}

void TestQuiz::hint()
{
    QFETCH(QString, words);
    QFETCH(QStringList, shown);

    Game game({{QStringLiteral("1234"), QStringLiteral("d"), words}});
    QVERIFY(game.quiz.startQuiz());
    QString label;
    for (const QString &expected : shown) {
        label = game.quiz.hint(label);
        QCOMPARE(label, expected);
    }
}

void TestQuiz::countdown_data()
{
    QTest::addColumn<qint64>("start");
    QTest::addColumn<qint64>("elapsed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("over");

    QTest::newRow("one second") << qint64(0) << qint64(1000) << " 59" << false;
    QTest::newRow("58.5 to the even 58") << qint64(0) << qint64(1500) << " 58" << false;
    QTest::newRow("1.5 to the even 2") << qint64(0) << qint64(58500) << " 2" << false;
    QTest::newRow("0.5 to the even 0") << qint64(0) << qint64(59500) << " 0" << true;
    QTest::newRow("time up") << qint64(0) << qint64(60000) << " 0" << true;
    QTest::newRow("past") << qint64(0) << qint64(61000) << "-1" << true;
    // Only elapsed time counts, wherever the clock stood at the start.
    QTest::newRow("started a second before a day is full")
        << qint64(86399000) << qint64(2000) << " 58" << false;
}

void TestQuiz::countdown()
{
    QFETCH(qint64, start);
    QFETCH(qint64, elapsed);
    QFETCH(QString, text);
    QFETCH(bool, over);

    Game game(numbered(1), {0.0}, start);
    QSignalSpy countdown(&game.quiz, &Quiz::countdownChanged);
    QVERIFY(game.quiz.startQuiz());
    QCOMPARE(countdown.takeFirst().at(0).toString(), QStringLiteral("60"));

    game.now = start + elapsed;
    game.quiz.tick();
    QCOMPARE(countdown.size(), 1);
    QCOMPARE(countdown.at(0).at(0).toString(), text);
    QCOMPARE(game.quiz.gameOver(), over);
}

void TestQuiz::gameEndsOnceAndScoringGoesOn()
{
    Game game({{QStringLiteral("12"), QStringLiteral("d"), {}}});
    QSignalSpy ended(&game.quiz, &Quiz::gameEnded);
    QSignalSpy countdown(&game.quiz, &Quiz::countdownChanged);
    QVERIFY(game.quiz.startQuiz());
    for (int i = 0; i < 3; ++i)
        QCOMPARE(game.quiz.judge(QStringLiteral("12")), Judgement::Correct);

    for (qint64 t = 1000; t <= 63000; t += 1000) {
        game.now = t;
        game.quiz.tick();
    }
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.at(0).at(0).toString(), QStringLiteral("You got 3 correct."));
    // The last value written stays: the ticks after the end write nothing.
    QCOMPARE(countdown.last().at(0).toString(), QStringLiteral(" 0"));
    QCOMPARE(countdown.size(), 61);

    QCOMPARE(game.quiz.judge(QStringLiteral("12")), Judgement::Correct);
    QCOMPARE(game.quiz.score(), 4);
    QCOMPARE(game.quiz.hint(QString()), QString());
    QVERIFY(game.quiz.gameOver());
}

void TestQuiz::vanishedEntryAsksNothing()
{
    Game game(numbered(2), {0.0, 0.9});
    QVERIFY(game.quiz.startQuiz());
    QCOMPARE(game.quiz.currentIndex(), 1);

    // The list loses its rows after the quiz counted them.
    game.list.clear();
    QSignalSpy questions(&game.quiz, &Quiz::questionChanged);
    game.quiz.nextQuestion();
    QCOMPARE(game.quiz.currentIndex(), 0);
    QVERIFY(questions.isEmpty());
    QCOMPARE(game.quiz.judge(QStringLiteral("101")), Judgement::Ignored);
    QCOMPARE(game.quiz.hint(QStringLiteral("tie")), QStringLiteral("tie"));
    QCOMPARE(game.quiz.score(), 0);
}

void TestQuiz::scoreMessage_data()
{
    QTest::addColumn<int>("score");
    QTest::addColumn<QString>("message");

    QTest::newRow("0") << 0 << " Oops. You got zero correct. You need to practice more.";
    QTest::newRow("1") << 1 << "You got 1 correct.";
    QTest::newRow("3") << 3 << "You got 3 correct.";
    QTest::newRow("4") << 4 << "Well Done. You got 4 correct.";
    QTest::newRow("6") << 6 << "Well Done. You got 6 correct.";
    QTest::newRow("7") << 7 << "Amazing. You got 7 correct.";
    QTest::newRow("9") << 9 << "Amazing. You got 9 correct.";
    QTest::newRow("10") << 10 << "Incredile. You got 10 correct. ";
    QTest::newRow("12") << 12 << "Incredile. You got 12 correct. ";
    QTest::newRow("13") << 13 << "You are a memory Wizard. You got 13 correct.";
    QTest::newRow("14") << 14 << "You are a memory Wizard. You got 14 correct.";
    QTest::newRow("15") << 15 << "You are a memory Wizard. You got 15 correct.";
    QTest::newRow("a long game") << 40000 << "You are a memory Wizard. You got 40000 correct.";
}

void TestQuiz::scoreMessage()
{
    QFETCH(int, score);
    QFETCH(QString, message);
    QCOMPARE(Quiz::scoreMessage(score), message);
}

QTEST_GUILESS_MAIN(TestQuiz)
#include "tst_quiz.moc"
