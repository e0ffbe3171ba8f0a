#pragma once
// A growing array of plain values kept in memory mapped from the system. When it needs more room
// the kernel moves or extends the mapping (mremap), so what is already held is never copied and
// appending stays cheap however long the array gets: a compiler's 100 MB of output never makes
// the window wait for one large copy.

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <type_traits>
#include <utility>

namespace mapped {
// Returns a mapping of at least `newBytes` holding the first `oldBytes` of `old` (null to start
// one), or null when the memory cannot be had; `old` is then still valid. `newBytes` is set to
// the size of the mapping returned.
void *grow(void *old, std::size_t oldBytes, std::size_t &newBytes);
// Large mappings given back are kept for a while and handed to the next array that grows large,
// so that the system need not clear their pages again: a capture of a long output spent a third
// of its time in the system clearing the pages of fresh memory, and the next compile's output
// takes the memory of the one before.
void release(void *block, std::size_t bytes);
// Gives back to the system the mappings that were kept already at the call before (a timer
// calls it every few seconds).
void releaseKeptBefore();
} // namespace mapped

template <typename T>
class MappedArray {
    static_assert(std::is_trivially_copyable_v<T>, "the values are moved by the kernel, not by T");

public:
    MappedArray() = default;
    ~MappedArray() { clear(); }
    MappedArray(const MappedArray &) = delete;
    MappedArray &operator=(const MappedArray &) = delete;
    MappedArray(MappedArray &&other) noexcept { *this = std::move(other); }
    MappedArray &operator=(MappedArray &&other) noexcept
    {
        if (this != &other) {
            clear();
            std::swap(items_, other.items_);
            std::swap(size_, other.size_);
            std::swap(capacity_, other.capacity_);
        }
        return *this;
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const T *data() const { return items_; }
    const T &operator[](std::size_t index) const { return items_[index]; }
    T &operator[](std::size_t index) { return items_[index]; }
    const T &back() const { return items_[size_ - 1]; }
    T &back() { return items_[size_ - 1]; }
    const T *begin() const { return items_; }
    const T *end() const { return items_ + size_; }

    // Appends `count` values; false, with the array unchanged, when there is no memory for them.
    bool append(const T *values, std::size_t count)
    {
        if (count == 0)
            return true;
        if (!roomFor(count))
            return false;
        std::copy(values, values + count, items_ + size_);
        size_ += count;
        return true;
    }
    bool push_back(const T &value)
    {
        if (!roomFor(1))
            return false;
        items_[size_++] = value;
        return true;
    }
    // Makes room for `count` more values without adding them; false when there is no memory.
    bool reserveMore(std::size_t count) { return roomFor(count); }
    // The room after the values, to be written in place; grownInPlace(count) then adds the first
    // `count` values written there (no more than the room made).
    T *spareRoom() { return items_ + size_; }
    void grownInPlace(std::size_t count) { size_ += count; }
    // Drops the last `count` values (no more than there are); the memory is kept.
    void shrinkBy(std::size_t count) { size_ -= count; }

    // Empties the array and gives its memory back.
    void clear()
    {
        mapped::release(items_, capacity_ * sizeof(T));
        items_ = nullptr;
        size_ = capacity_ = 0;
    }

private:
    bool roomFor(std::size_t count)
    {
        if (count <= capacity_ - size_)
            return true;
        if (count > maximumSize() - size_)
            return false;
        // Doubling: the kernel moves page tables, not the values, so only the new pages cost.
        std::size_t wanted = capacity_ ? capacity_ : firstCapacity;
        while (wanted - size_ < count)
            wanted = wanted > maximumSize() / 2 ? maximumSize() : wanted * 2;
        std::size_t bytes = wanted * sizeof(T);
        void *grown = mapped::grow(items_, capacity_ * sizeof(T), bytes);
        if (!grown)
            return false;
        items_ = static_cast<T *>(grown);
        capacity_ = std::min(bytes / sizeof(T), maximumSize());
        return true;
    }
    static constexpr std::size_t maximumSize() { return (std::size_t(1) << 46) / sizeof(T); }
    static constexpr std::size_t firstCapacity = 65536 / sizeof(T) ? 65536 / sizeof(T) : 1;

    T *items_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

inline std::string_view textOf(const MappedArray<char> &bytes)
{
    return std::string_view(bytes.data() ? bytes.data() : "", bytes.size());
}
