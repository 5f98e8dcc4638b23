#include "core/WordCollection.h"

WordCollection::Record WordCollection::Add(const QString &word, qint32 count, const QString &sKey)
{
    const QString key = fold(sKey);
    if (!key.isEmpty() && m_byKey.contains(key))
        return {};

    auto record = std::make_shared<CodedWord>();
    record->setWord(word);
    record->setCount(count);
    m_members.append({key, record});
    if (!key.isEmpty())
        m_byKey.insert(key, record);
    return record;
}

void WordCollection::reserve(qsizetype members)
{
    m_members.reserve(members);
    m_byKey.reserve(members);
}

WordCollection::Record WordCollection::Item(int position) const
{
    if (position < 1 || position > count())
        return {};
    return m_members.at(position - 1).record;
}

WordCollection::Record WordCollection::Item(const QString &key) const
{
    if (key.isEmpty())
        return {};
    return m_byKey.value(fold(key));
}

bool WordCollection::Remove(int position)
{
    if (position < 1 || position > count())
        return false;
    const Member member = m_members.takeAt(position - 1);
    if (!member.foldedKey.isEmpty())
        m_byKey.remove(member.foldedKey);
    return true;
}
