#include "practice/Quiz.h"

#include <QTest>

using Judgement = Quiz::Judgement;

namespace {

// A started quiz over fixed entries that asks them in turn.
struct Game
{
    explicit Game(const QList<RememberedEntry> &entries) : list(entries)
    {
        quiz.setRandomSource([drawn = 0]() mutable { return drawn++ % 2 ? 0.9 : 0.0; });
        quiz.setEntrySource([this](int position) {
            return position <= list.size() ? std::optional(list.at(position - 1)) : std::nullopt;
        });
        quiz.load(int(list.size()));
        quiz.startQuiz();
    }

    QList<RememberedEntry> list;
    Quiz quiz;
};

} // namespace

// How the self-test judges an answer and rates a score; tst_practicewindows plays
// whole games through the quiz window.
class TestQuiz : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void judging();
    void scoreMessages();
    void vanishedEntryAsksNothing();
};

void TestQuiz::judging()
{
    // An empty box never scores, not even for an entry stored without digits; and an
    // answer pasted longer than the value is no nearer. The quiz window's rows judge
    // what a user types.
    QCOMPARE(Game({{"", "a", {}}}).quiz.judge({}), Judgement::Matching);
    QCOMPARE(Game({{"123", "a", {}}}).quiz.judge(QStringLiteral("1234")), Judgement::Unchanged);
}

void TestQuiz::scoreMessages()
{
    const std::pair<int, const char *> bands[] = {
        {3, "You got 3 correct."},
        {4, "Well Done. You got 4 correct."},
        {9, "Amazing. You got 9 correct."},
        {12, "Incredile. You got 12 correct. "},
        {15, "You are a memory Wizard. You got 15 correct."}};
    for (const auto &[score, message] : bands)
        QCOMPARE(Quiz::scoreMessage(score), QLatin1String(message));
}

void TestQuiz::vanishedEntryAsksNothing()
{
    Game game({{"101", "a", {}}, {"102", "b", {}}});
    // The list loses its rows after the quiz counted them.
    game.list.clear();
    game.quiz.nextQuestion();
    QCOMPARE(game.quiz.currentIndex(), 0);
    QCOMPARE(game.quiz.judge(QStringLiteral("102")), Judgement::Ignored);
    QCOMPARE(game.quiz.hint(QStringLiteral("tie")), QStringLiteral("tie"));
}

QTEST_GUILESS_MAIN(TestQuiz)
#include "tst_quiz.moc"
