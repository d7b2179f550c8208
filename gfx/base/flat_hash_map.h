#pragma once
// An insert-only hash map kept in one flat array with linear probing: no allocation per entry,
// for the loaders' large one-shot lookups (points, edges, split vertices).

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace gfx {

template <typename Key, typename Value, typename Hash>
class FlatHashMap {
  public:
    explicit FlatHashMap(std::size_t expected = 0) { Rehash(SlotsFor(expected)); }

    // The value stored under `key`, made from `value` when the key is new; the flag tells
    // whether it was made. The pointer holds until the next insertion.
    std::pair<Value*, bool> TryEmplace(const Key& key, const Value& value) {
        if ((size_ + 1) * 2 > slots_.size()) Rehash(slots_.size() * 2);
        std::size_t i = Home(key);
        while (slots_[i].used) {
            if (slots_[i].key == key) return {&slots_[i].value, false};
            i = (i + 1) & (slots_.size() - 1);
        }
        slots_[i] = {key, value, true};
        ++size_;
        return {&slots_[i].value, true};
    }

    const Value* Find(const Key& key) const {
        std::size_t i = Home(key);
        while (slots_[i].used) {
            if (slots_[i].key == key) return &slots_[i].value;
            i = (i + 1) & (slots_.size() - 1);
        }
        return nullptr;
    }

    // Calls visit(key, value) for every entry, in no particular order.
    template <typename Visit>
    void ForEach(Visit visit) const {
        for (const Slot& slot : slots_) {
            if (slot.used) visit(slot.key, slot.value);
        }
    }

    std::size_t size() const { return size_; }

  private:
    struct Slot {
        Key key{};
        Value value{};
        bool used = false;
    };

    // The key's first slot: the hash scrambled once more and its top bits taken, so that hashes
    // whose low bits vary little (floats' bits) still spread.
    std::size_t Home(const Key& key) const {
        const std::uint64_t h = static_cast<std::uint64_t>(Hash{}(key)) * 0x9E3779B97F4A7C15ull;
        return static_cast<std::size_t>(h >> shift_);
    }

    // A power of two at least twice the expected entries.
    static std::size_t SlotsFor(std::size_t expected) {
        std::size_t slots = 16;
        while (slots < expected * 2) slots *= 2;
        return slots;
    }

    void Rehash(std::size_t slots) {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(slots, Slot{});
        shift_ = 64;
        for (std::size_t n = slots; n > 1; n /= 2) --shift_;
        size_ = 0;
        for (const Slot& slot : old) {
            if (slot.used) TryEmplace(slot.key, slot.value);
        }
    }

    std::vector<Slot> slots_;
    std::size_t size_ = 0;
    int shift_ = 64;  // 64 - log2(slots)
};

}  // namespace gfx
