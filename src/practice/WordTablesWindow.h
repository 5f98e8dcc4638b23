#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

#include <functional>

class BackgroundJob;
class QTreeWidget;
class WordCollection;

// The user's own word tables: the 1-100 peg table and the table of every memory word
// with how often it is used, both built from the usage counts of the remembered
// numbers. The main window shows it from its Tools menu and toolbar and then fills it
// with Populate or PopulateMost; one window, reused, that shows one table at a time.
// The tables of a long list are built and sorted on a thread, and shown when ready.
class WordTablesWindow : public QWidget
{
    Q_OBJECT

public:
    explicit WordTablesWindow(QWidget *parent = nullptr);

    // The 1-100 peg table, in the order of the numbers.
    void Populate();
    // Every used word with its count and digits, sorted on the chosen column.
    void PopulateMost();
    // Whether a table is still being built or sorted on a thread, or waits for the list.
    bool isBusy() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void load();
    void sizeColumns();
    void setTitles(const QStringList &titles);
    void build(const std::function<QList<QStringList>(const WordCollection &)> &rows);
    void buildNow(const std::function<QList<QStringList>(const WordCollection &)> &rows,
                  quint64 table);
    void fill(const QList<QStringList> &rows);
    void headerClicked(int column);
    void sortNow();

    const int rangeStart = 1;
    const int rangeEnd = 100;

    QTreeWidget *m_list = nullptr;
    int m_sortColumn = 0;
    // One direction for the whole list, whichever column was clicked.
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_sorting = false;
    BackgroundJob *m_job = nullptr;
    bool m_waitingForList = false;
    // Counts the tables begun, so that work for an earlier one is dropped.
    quint64 m_table = 0;
};
