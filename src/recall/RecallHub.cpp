#include "recall/RecallHub.h"

#include "core/AppInfo.h"
#include "recall/RecallHistory.h"
#include "remembered/RememberedList.h"
#include "remembered/RememberedNumbers.h"
#include "settings/Installation.h"
#include "settings/Registry.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

namespace RecallHub {

namespace {

constexpr char retentionSetting[] = "retention";

// The entries of the list as they stand, once it is loaded. The rows are copied as
// they are (their bytes are shared, not copied) and turned into texts on the thread.
void takeEntries(RecallHistory *history, const RememberedNumbers *numbers)
{
    if (!numbers->isLoaded() || numbers->isLoading())
        return;
    const RememberedList *list = numbers->model();
    history->setEntries([rows = list->rows()] {
        QList<RecallEntry> entries;
        entries.reserve(rows.size());
        for (qsizetype i = 0; i < rows.size(); ++i)
            entries.append({rows.text(i, RememberedList::ValueColumn),
                            rows.text(i, RememberedList::DescriptionColumn),
                            rows.text(i, RememberedList::WordsColumn)});
        return entries;
    });
}

// Starts reading the history once the first window has been drawn, or after a second
// when none is shown: the 60 MB of a long history read on every processor made the
// main window come up a tenth later.
class FirstPaintWatch : public QObject
{
public:
    explicit FirstPaintWatch(RecallHistory *history) : QObject(history), m_history(history)
    {
        qApp->installEventFilter(this);
        QTimer::singleShot(1000, this, &FirstPaintWatch::start);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        // A window is drawn as its expose event is handled; the reading starts after.
        if (event->type() == QEvent::Expose) {
            qApp->removeEventFilter(this);
            QTimer::singleShot(0, this, &FirstPaintWatch::start);
        }
        return false;
    }

private:
    void start()
    {
        m_history->startPendingLoad();
        deleteLater();
    }

    RecallHistory *m_history;
};

} // namespace

double savedRetention()
{
    bool ok = false;
    const double value =
        Registry::GetRegValue(QLatin1String(AppInfo::settingsPath), QLatin1String(retentionSetting))
            .toDouble(&ok);
    return ok && value >= Fsrs::minRetention && value <= Fsrs::maxRetention
               ? value
               : Fsrs::defaultRetention;
}

void saveRetention(double retention)
{
    Registry::SetRegValue(QLatin1String(AppInfo::settingsPath), QLatin1String(retentionSetting),
                          QString::number(retention, 'f', 2));
}

RecallHistory *history()
{
    // The history goes with the list it follows.
    RememberedNumbers *numbers = RememberedNumbers::instance();
    if (auto *existing = numbers->findChild<RecallHistory *>(QString(), Qt::FindDirectChildrenOnly))
        return existing;

    auto *history = new RecallHistory(numbers);
    history->setRetention(savedRetention());
    // Told once per start: the lines stay as they are, so the next start finds them again.
    QObject::connect(history, &RecallHistory::loaded, history, [history] {
        if (!history->loadProblem().isEmpty())
            MessageBox::inform(QApplication::activeWindow(), history->loadProblem(),
                               QMessageBox::Warning);
    });
    history->loadLater(Installation::dataFolder());
    new FirstPaintWatch(history);

    // A store, a forget or an import changes the list; the entries are taken once,
    // after the change is complete.
    const RememberedList *list = numbers->model();
    auto *pending = new QTimer(history);
    pending->setSingleShot(true);
    pending->setInterval(0);
    QObject::connect(pending, &QTimer::timeout, history,
                     [history, numbers] { takeEntries(history, numbers); });
    auto later = [pending] { pending->start(); };
    QObject::connect(list, &QAbstractItemModel::rowsInserted, pending, later);
    QObject::connect(list, &QAbstractItemModel::rowsRemoved, pending, later);
    QObject::connect(list, &QAbstractItemModel::modelReset, pending, later);
    QObject::connect(numbers, &RememberedNumbers::loaded, pending, later);
    takeEntries(history, numbers);
    return history;
}

} // namespace RecallHub
