#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace kw {

// A hash index over entries the caller keeps in a vector of its own, by open
// addressing: a slot holds an entry's hash and its index plus one, so a look-up
// touches one small array and then the entry. Callers insert a name only when
// it is not yet there, so the first entry of a name is the one found.
class FlatIndex {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    template <class Same> size_t Find(uint32_t hash, const Same& same) const {
        if (FSlots.empty()) {
            return npos;
        }
        for (size_t i = hash & Mask();; i = (i + 1) & Mask()) {
            const Slot& slot = FSlots[i];
            if (slot.index == 0) {
                return npos;
            }
            if (slot.hash == hash && same(slot.index - 1)) {
                return slot.index - 1;
            }
        }
    }

    // Makes room for count more entries at once.
    void Reserve(size_t count) {
        size_t size = std::max<size_t>(16, FSlots.size());
        while ((FCount + count) * 2 > size) {
            size *= 2;
        }
        if (size > FSlots.size()) {
            Rehash(size);
        }
    }

    void Insert(uint32_t hash, size_t index) {
        if ((FCount + 1) * 2 > FSlots.size()) {
            Grow();
        }
        Place(Slot{hash, static_cast<uint32_t>(index + 1)});
        ++FCount;
    }

private:
    struct Slot {
        uint32_t hash = 0;
        uint32_t index = 0; // 0: empty
    };

    size_t Mask() const { return FSlots.size() - 1; }

    void Place(Slot slot) {
        size_t i = slot.hash & Mask();
        while (FSlots[i].index != 0) {
            i = (i + 1) & Mask();
        }
        FSlots[i] = slot;
    }

    void Grow() { Rehash(std::max<size_t>(16, FSlots.size() * 2)); }

    void Rehash(size_t size) {
        std::vector<Slot> old = std::exchange(FSlots, std::vector<Slot>(size));
        for (const Slot& slot : old) {
            if (slot.index != 0) {
                Place(slot);
            }
        }
    }

    std::vector<Slot> FSlots;
    size_t FCount = 0;
};

} // namespace kw
