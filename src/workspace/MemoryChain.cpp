#include "workspace/MemoryChain.h"

int MemoryChain::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_links.size());
}

int MemoryChain::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant MemoryChain::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_links.size())
        return {};
    const Link &link = m_links.at(index.row());
    return index.column() == ValueColumn ? link.value : link.word;
}

QVariant MemoryChain::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return section == ValueColumn ? tr("Value") : tr("Word");
}

void MemoryChain::append(const QString &value, const QString &word)
{
    beginInsertRows({}, int(m_links.size()), int(m_links.size()));
    m_links.append({value, word});
    endInsertRows();
}

void MemoryChain::removeLast()
{
    if (m_links.isEmpty())
        return;
    beginRemoveRows({}, int(m_links.size()) - 1, int(m_links.size()) - 1);
    m_links.removeLast();
    endRemoveRows();
}

void MemoryChain::clear()
{
    beginResetModel();
    m_links.clear();
    endResetModel();
}

QString MemoryChain::value(int position) const
{
    return position >= 1 && position <= m_links.size() ? m_links.at(position - 1).value : QString();
}

QString MemoryChain::word(int position) const
{
    return position >= 1 && position <= m_links.size() ? m_links.at(position - 1).word : QString();
}

QString MemoryChain::getwords() const
{
    QString words;
    for (const Link &link : m_links)
        words += u' ' + link.word;
    return words;
}

QString MemoryChain::GetCurrentNumber() const
{
    QString number;
    for (const Link &link : m_links)
        number += link.value;
    return number;
}
