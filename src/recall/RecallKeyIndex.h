#pragma once

#include "recall/RecallLog.h"

#include <QList>

#include <algorithm>
#include <bit>

// Finds numbers kept in a list elsewhere by their key: the index of a key in that list.
// Each slot holds 32 bits of a key's hash beside its index, so a lookup reads a key's
// texts only where those agree. Matching a hundred thousand entries with the history
// touches each text once instead of at every probe.
class RecallKeyIndex
{
public:
    explicit RecallKeyIndex(qsizetype keys = 0) { resize(keys); }

    qsizetype size() const { return m_size; }

    // The index of the key equal to `key`, whose hash is `hash`; -1 when there is none.
    // `keyAt` gives the key of an index.
    template <typename KeyAt>
    qint32 find(const RecallKey &key, size_t hash, const KeyAt &keyAt) const
    {
        if (m_slots.isEmpty())
            return -1;
        const size_t mask = size_t(m_slots.size() - 1);
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot &slot = m_slots.at(qsizetype(i));
            if (slot.index < 0)
                return -1;
            if (slot.hash == quint32(hash) && keyAt(slot.index) == key)
                return slot.index;
        }
    }

    // Adds the index of a key not yet in the index.
    void insert(size_t hash, qint32 index)
    {
        if ((m_size + 1) * 2 > m_slots.size())
            resize(std::max<qsizetype>(m_size + 1, m_size * 2));
        place(hash, index);
        ++m_size;
    }

private:
    struct Slot
    {
        quint32 hash = 0;
        qint32 index = -1;
    };

    void place(size_t hash, qint32 index)
    {
        const size_t mask = size_t(m_slots.size() - 1);
        size_t i = hash & mask;
        while (m_slots.at(qsizetype(i)).index >= 0)
            i = (i + 1) & mask;
        m_slots[qsizetype(i)] = {quint32(hash), index};
    }

    // Room for `keys` keys, at most half the slots used.
    void resize(qsizetype keys)
    {
        const qsizetype count = qsizetype(std::bit_ceil(size_t(std::max<qsizetype>(keys, 4) * 2)));
        if (count <= m_slots.size())
            return;
        const QList<Slot> old = std::exchange(m_slots, QList<Slot>(count));
        for (const Slot &slot : old) {
            if (slot.index >= 0)
                place(slot.hash, slot.index);
        }
    }

    QList<Slot> m_slots;
    qsizetype m_size = 0;
};
