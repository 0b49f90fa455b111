// Node numbers by node id: a member's counters are dense (it numbers its nodes 1, 2, 3, ...), so
// each member has an array indexed by counter. The array grows only while at least half of it
// would be used; counters far apart (a damaged or hostile file's, or a member's after many of its
// nodes were removed) go to a hash table instead, so no file makes it larger than its records.
#pragma once

#include <cstdint>
#include <vector>

#include "sync/FlatIndex.h"

namespace synchro {

class IdTable {
public:
    static constexpr std::uint32_t kAbsent = HashIndex::kAbsent;

    std::uint32_t Find(std::uint32_t origin, std::uint32_t counter) const {
        if (origin < m_dense.size() && counter < m_dense[origin].size() &&
            m_dense[origin][counter] != kAbsent)
            return m_dense[origin][counter];
        // Also an id stored before its member's array grew past it.
        return m_sparse.Size() == 0 ? kAbsent : m_sparse.Find(Key(origin, counter));
    }
    void Insert(std::uint32_t origin, std::uint32_t counter, std::uint32_t value) {
        if (origin >= m_dense.size()) {
            m_dense.resize(origin + 1);
            m_used.resize(origin + 1, 0);
        }
        std::vector<std::uint32_t>& dense = m_dense[origin];
        if (counter >= dense.size() && (m_used[origin] + 1) * 2 >= std::size_t{counter} + 1)
            dense.resize(std::max<std::size_t>(counter + 1, dense.size() * 3 / 2), kAbsent);
        if (counter < dense.size()) {
            if (dense[counter] == kAbsent) {
                ++m_used[origin];
                ++m_size;
            }
            dense[counter] = value;
        } else {
            m_sparse.Insert(Key(origin, counter), value);
        }
    }
    void Erase(std::uint32_t origin, std::uint32_t counter, std::uint32_t value) {
        if (origin < m_dense.size() && counter < m_dense[origin].size()) {
            if (m_dense[origin][counter] == value) {
                m_dense[origin][counter] = kAbsent;
                --m_used[origin];
                --m_size;
            }
        }
        if (m_sparse.Size() != 0)
            m_sparse.Erase(Key(origin, counter), value);
    }
    std::size_t Size() const { return m_size + m_sparse.Size(); }

private:
    static std::uint64_t Key(std::uint32_t origin, std::uint32_t counter) {
        return std::uint64_t{origin} << 32 | counter;
    }

    std::vector<std::vector<std::uint32_t>> m_dense;
    std::vector<std::size_t> m_used;  // per member: the entries of its array in use

    HashIndex m_sparse;
    std::size_t m_size = 0;
};

}  // namespace synchro
