#pragma once

// The display name a staff record carries in memory.
//
// A database holds one per person, over a million of them in large
// databases, so the record keeps only a small handle to its text: the
// length, and a pointer to a heap block of its own or, for the names a load
// makes, to an entry in a shared block of text (see DisplayNamePool).
// Loading then costs no allocation per person, and a name costs its own
// bytes and a few more instead of a std::string's 32 (and a heap block
// beyond 15 bytes). The length sits in the record so that a search over
// every name knows how far each text goes before the text arrives from
// memory. It reads like a std::string_view and converts to a std::string
// where one is wanted.
//
// Every change of a name's text anywhere is counted (changeCount), so that
// what is derived from many names, like the folded copy a search scans
// (FoldedStaffNames), can tell cheaply whether it still holds.
//
// A shared block counts the names that still use it and goes when the last
// one does, so a name stays a plain value: copies always take text of their
// own, no two databases ever share a block, and the count needs no lock as
// long as one database is used by one thread at a time.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

namespace db {

namespace detail {
inline std::atomic<std::uint64_t> displayNameChanges{0};
inline std::atomic<int> openNamePools{0};
}  // namespace detail

class DisplayName {
public:
    DisplayName() = default;
    explicit DisplayName(std::string_view text) { assign(text); }
    DisplayName(const DisplayName& other) { assign(other.view()); }
    DisplayName(DisplayName&& other) noexcept { take(other); }
    DisplayName& operator=(const DisplayName& other)
    {
        if (this != &other) assign(other.view());
        return *this;
    }
    DisplayName& operator=(DisplayName&& other) noexcept
    {
        if (this != &other) {
            release();
            take(other);
        }
        return *this;
    }
    DisplayName& operator=(std::string_view text)
    {
        assign(text);
        return *this;
    }
    ~DisplayName() { release(); }

    void assign(std::string_view text);

    std::string_view view() const
    {
        const unsigned char n = store_[kLengthAt];
        if (n == 0) return {};
        const std::uintptr_t h = handle();
        if (h & kPooled) return {reinterpret_cast<const char*>((h & ~kPooled) + kEntryHead), n};
        const auto* p = reinterpret_cast<const char*>(h);
        if (n != kLong) return {p + sizeof(std::size_t), n};
        std::size_t size = 0;
        std::memcpy(&size, p, sizeof size);
        return {p + sizeof size, size};
    }
    std::string str() const { return std::string(view()); }
    operator std::string_view() const { return view(); }
    operator std::string() const { return str(); }

    std::size_t size() const { return view().size(); }
    bool empty() const { return store_[kLengthAt] == 0; }
    std::string substr(std::size_t pos, std::size_t n = std::string::npos) const
    {
        return std::string(view().substr(pos, n));
    }

    friend bool operator==(const DisplayName& a, const DisplayName& b) { return a.view() == b.view(); }
    friend bool operator==(const DisplayName& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const DisplayName& a, const std::string& b) { return a.view() == b; }
    friend bool operator==(const DisplayName& a, const char* b) { return a.view() == b; }
    friend std::ostream& operator<<(std::ostream& out, const DisplayName& n) { return out << n.view(); }

    static constexpr std::size_t kHandleAt = 3;  // where the pointer starts

    // Grows with every change of any name's text: a name given a text, made
    // empty, moved from or destroyed. The names a DisplayNamePool sets are
    // not counted one by one: a pool counts once when it starts and once
    // when it ends, and poolsOpen() tells whether one is setting names now.
    static std::uint64_t changeCount() { return detail::displayNameChanges.load(std::memory_order_relaxed); }
    static bool poolsOpen() { return detail::openNamePools.load(std::memory_order_relaxed) != 0; }

private:
    friend class DisplayNamePool;

    // A heap block of its own: [length, a std::size_t][text]. A shared
    // block: this header, then entries of [distance back to the header,
    // 2 bytes][text], each starting at an even address so that the
    // handle's lowest bit can mark it as pooled.
    struct Block {
        std::size_t users;
    };
    static constexpr std::size_t kBlockBytes = 64 * 1024;
    static constexpr std::uintptr_t kPooled = 1;
    static constexpr std::size_t kEntryHead = 2;
    static constexpr std::size_t kLengthAt = 0;
    static constexpr unsigned char kLong = 0xFF;            // longer: the length is in the heap block
    static constexpr std::size_t kPooledLimit = kLong - 1;  // longer texts get a heap block

    std::uintptr_t handle() const
    {
        std::uintptr_t h = 0;
        std::memcpy(&h, store_ + kHandleAt, sizeof h);
        return h;
    }
    void set(std::uintptr_t h, std::size_t length)
    {
        std::memcpy(store_ + kHandleAt, &h, sizeof h);
        store_[kLengthAt] = static_cast<unsigned char>(length < kLong ? length : kLong);
    }
    static void changed() { detail::displayNameChanges.fetch_add(1, std::memory_order_relaxed); }
    void take(DisplayName& other)
    {
        std::memcpy(store_, other.store_, sizeof store_);
        if (other.empty()) return;
        other.set(0, 0);
        changed();
    }
    static Block* blockOf(std::uintptr_t pooled)
    {
        const auto* entry = reinterpret_cast<unsigned char*>(pooled & ~kPooled);
        std::uint16_t back = 0;
        std::memcpy(&back, entry, sizeof back);
        return reinterpret_cast<Block*>(const_cast<unsigned char*>(entry) - back);
    }
    void release()
    {
        if (empty()) return;
        const std::uintptr_t h = handle();
        set(0, 0);
        changed();
        if (!(h & kPooled)) {
            ::operator delete(reinterpret_cast<void*>(h));
        } else if (Block* b = blockOf(h); --b->users == 0) {
            b->~Block();
            ::operator delete(b);
        }
    }

    // Byte-aligned, so a record keeps its packed size: the length, two
    // spare bytes, the pointer. After a staff record's 157 bytes that puts
    // the pointer on an 8-byte boundary of every record, where reading it
    // for each person in turn (a search) is cheap; loads that straddle
    // cache lines made such a search several times slower.
    unsigned char store_[kHandleAt + sizeof(std::uintptr_t)] = {};
};

// Gives many names their text from shared blocks, as loading does. Names it
// has set live on after the pool itself is gone.
class DisplayNamePool {
public:
    DisplayNamePool()
    {
        detail::openNamePools.fetch_add(1, std::memory_order_relaxed);
        DisplayName::changed();
    }
    DisplayNamePool(const DisplayNamePool&) = delete;
    DisplayNamePool& operator=(const DisplayNamePool&) = delete;
    ~DisplayNamePool()
    {
        drop();
        DisplayName::changed();
        detail::openNamePools.fetch_sub(1, std::memory_order_relaxed);
    }

    void assign(DisplayName& name, std::string_view text)
    {
        if (text.empty() || text.size() > DisplayName::kPooledLimit) {
            name.assign(text);
            return;
        }
        const std::size_t need = DisplayName::kEntryHead + text.size();
        if (!block_ || used_ + need > DisplayName::kBlockBytes) {
            drop();
            block_ =
                new (::operator new(DisplayName::kBlockBytes)) DisplayName::Block{1};  // the pool's own use
            used_ = sizeof(DisplayName::Block);
        }
        auto* entry = reinterpret_cast<unsigned char*>(block_) + used_;
        const auto back = static_cast<std::uint16_t>(used_);
        std::memcpy(entry, &back, sizeof back);
        std::memcpy(entry + DisplayName::kEntryHead, text.data(), text.size());
        ++block_->users;
        name.release();  // only now: `text` may have been the name's own
        name.set(reinterpret_cast<std::uintptr_t>(entry) | DisplayName::kPooled, text.size());
        used_ += (need + 1) & ~std::size_t{1};
    }

private:
    void drop()
    {
        if (block_ && --block_->users == 0) {
            block_->~Block();
            ::operator delete(block_);
        }
        block_ = nullptr;
    }

    DisplayName::Block* block_ = nullptr;
    std::size_t used_ = 0;
    static_assert(DisplayName::kBlockBytes <= 0x10000, "an entry finds its block within 2 bytes");
    static_assert(sizeof(DisplayName::Block) % 2 == 0, "entries start at even addresses");
};

}  // namespace db
