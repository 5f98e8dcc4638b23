#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>

// The chain of memory words chosen so far for the number being worked on, each with
// the digits it stands for. The main window shows it as its memory-word list; the
// store flow and the remembered numbers read it through getwords() and
// GetCurrentNumber().
class MemoryChain : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        ValueColumn = 0,
        WordColumn = 1
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void append(const QString &value, const QString &word);
    void removeLast();
    void clear();

    // 1-based positions in chain order.
    QString value(int position) const;
    QString word(int position) const;

    // A blank before every word: " pen cow"; empty for an empty chain.
    QString getwords() const;
    // The digits of all words, leading zeros kept.
    QString GetCurrentNumber() const;

private:
    struct Link
    {
        QString value;
        QString word;
    };
    QList<Link> m_links;
};
