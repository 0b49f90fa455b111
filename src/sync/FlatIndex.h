// An open-addressing hash table of node numbers, without a heap allocation per entry: a million
// nodes cost one array, not a million list cells.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace synchro {

// 64-bit keys to 32-bit values, a key possibly holding several values (texts are indexed by their
// hash, and two nodes may hold one text for a while). Linear probing; deletion shifts the entries
// after it back, so no tombstones pile up.
class HashIndex {
public:
    static constexpr std::uint32_t kAbsent = 0xFFFFFFFF;

    // Calls visit(value) for the values of key until it returns true; returns that value, or
    // kAbsent.
    template <class Visit>
    std::uint32_t FindIf(std::uint64_t key, Visit&& visit) const {
        if (m_slots.empty())
            return kAbsent;
        for (std::size_t at = Home(key);; at = (at + 1) & m_mask) {
            const Slot& slot = m_slots[at];
            if (slot.value == kAbsent)
                return kAbsent;
            if (slot.key == key && visit(slot.value))
                return slot.value;
        }
    }
    std::uint32_t Find(std::uint64_t key) const {
        return FindIf(key, [](std::uint32_t) { return true; });
    }
    void Insert(std::uint64_t key, std::uint32_t value) {
        if ((m_size + 1) * 4 > m_slots.size() * 3)
            Grow(m_slots.empty() ? 64 : m_slots.size() * 2);
        std::size_t at = Home(key);
        while (m_slots[at].value != kAbsent)
            at = (at + 1) & m_mask;
        m_slots[at] = {key, value};
        ++m_size;
    }
    // Removes the entry of key holding value, if there is one.
    void Erase(std::uint64_t key, std::uint32_t value) {
        if (m_slots.empty())
            return;
        std::size_t at = Home(key);
        for (;; at = (at + 1) & m_mask) {
            if (m_slots[at].value == kAbsent)
                return;
            if (m_slots[at].key == key && m_slots[at].value == value)
                break;
        }
        for (std::size_t next = (at + 1) & m_mask; m_slots[next].value != kAbsent;
             next = (next + 1) & m_mask) {
            const std::size_t home = Home(m_slots[next].key);
            if (((next - home) & m_mask) >= ((next - at) & m_mask)) {
                m_slots[at] = m_slots[next];
                at = next;
            }
        }
        m_slots[at].value = kAbsent;
        --m_size;
    }
    void Reserve(std::size_t count) {
        std::size_t size = m_slots.empty() ? 64 : m_slots.size();
        while (count * 4 > size * 3)
            size *= 2;
        if (size != m_slots.size())
            Grow(size);
    }
    void Clear() {
        m_slots.clear();
        m_size = 0;
        m_mask = 0;
    }
    std::size_t Size() const { return m_size; }

private:
    struct Slot {
        std::uint64_t key;
        std::uint32_t value;
    };
    std::size_t Home(std::uint64_t key) const {
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 24) & m_mask;
    }
    void Grow(std::size_t size) {
        std::vector<Slot> old = std::move(m_slots);
        m_slots.assign(size, Slot{0, kAbsent});
        m_mask = size - 1;
        m_size = 0;
        for (const Slot& slot : old)
            if (slot.value != kAbsent)
                Insert(slot.key, slot.value);
    }

    std::vector<Slot> m_slots;
    std::size_t m_size = 0;
    std::size_t m_mask = 0;
};

}  // namespace synchro
