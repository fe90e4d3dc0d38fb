#pragma once
// Sorting a large folder's listing by file name.

#include <QByteArray>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace bc::outlook {

// Sorts `items` by name(item) in byte order, then by `tie` among equal names.
// The sort runs on a copy of each name's first 16 bytes kept side by side:
// the names themselves lie all over the heap, and comparing them in place
// would wait for memory at nearly every step of a million-name sort.
template <class T, class Name, class Tie> void Sort_By_Name(std::vector<T>& items, Name name, Tie tie)
{
    struct Key
    {
        quint64 High;
        quint64 Low;
        std::size_t Index;
    };
    std::vector<Key> keys(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const QByteArray& n = name(items[i]);
        quint64 part[2] = {0, 0};
        for (qsizetype k = 0; k < 16 && k < n.size(); ++k)
            part[k / 8] |= quint64(quint8(n[k])) << (8 * (7 - k % 8));
        keys[i] = Key{part[0], part[1], i};
    }
    std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
        if (a.High != b.High)
            return a.High < b.High;
        if (a.Low != b.Low)
            return a.Low < b.Low;
        const QByteArray& x = name(items[a.Index]);
        const QByteArray& y = name(items[b.Index]);
        if (x != y)
            return x < y;
        return tie(items[a.Index], items[b.Index]);
    });
    std::vector<T> sorted;
    sorted.reserve(items.size());
    for (const Key& k : keys)
        sorted.push_back(std::move(items[k.Index]));
    items = std::move(sorted);
}

} // namespace bc::outlook
