#pragma once

// The display name a staff record carries in memory.
//
// A database holds one per person, over a million of them in large
// databases, so the name is kept inside the record: up to 23 bytes are
// stored in place (nearly every "first second" name fits), longer ones on
// the heap. Against a std::string (32 bytes, and a heap block for anything
// over 15 bytes) this halves the memory names take and spares the loader an
// allocation per person. It reads like a std::string_view and converts to a
// std::string where one is wanted.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

namespace db {

class DisplayName {
public:
    DisplayName() = default;
    explicit DisplayName(std::string_view text) { assign(text); }
    DisplayName(const DisplayName& other) { assign(other.view()); }
    DisplayName(DisplayName&& other) noexcept
    {
        std::memcpy(store_, other.store_, sizeof store_);
        other.store_[kTag] = 0;
    }
    DisplayName& operator=(const DisplayName& other)
    {
        if (this != &other) assign(other.view());
        return *this;
    }
    DisplayName& operator=(DisplayName&& other) noexcept
    {
        if (this != &other) {
            release();
            std::memcpy(store_, other.store_, sizeof store_);
            other.store_[kTag] = 0;
        }
        return *this;
    }
    DisplayName& operator=(std::string_view text)
    {
        assign(text);
        return *this;
    }
    ~DisplayName() { release(); }

    void assign(std::string_view text)
    {
        if (onHeap() && text.size() <= heapSize() && text.size() > kInline) {
            // Reuse the block we have (also covers text taken from it).
            char* p = heapData();
            std::memmove(p, text.data(), text.size());
            setHeap(p, text.size());
            return;
        }
        char* old = onHeap() ? heapData() : nullptr;
        if (text.size() <= kInline) {
            // An empty view may carry a null pointer, which memcpy must not see.
            if (!text.empty()) {
                char tmp[kInline];
                std::memcpy(tmp, text.data(), text.size());
                std::memcpy(store_, tmp, text.size());
            }
            store_[kTag] = static_cast<char>(text.size());
        } else {
            char* p = new char[text.size()];
            std::memcpy(p, text.data(), text.size());
            setHeap(p, text.size());
        }
        delete[] old;
    }

    std::string_view view() const
    {
        if (onHeap()) return {heapData(), heapSize()};
        return {store_, static_cast<std::size_t>(static_cast<unsigned char>(store_[kTag]))};
    }
    std::string str() const { return std::string(view()); }
    operator std::string_view() const { return view(); }
    operator std::string() const { return str(); }

    std::size_t size() const { return view().size(); }
    bool empty() const { return size() == 0; }
    std::string substr(std::size_t pos, std::size_t n = std::string::npos) const
    {
        return std::string(view().substr(pos, n));
    }

    friend bool operator==(const DisplayName& a, const DisplayName& b) { return a.view() == b.view(); }
    friend bool operator==(const DisplayName& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const DisplayName& a, const std::string& b) { return a.view() == b; }
    friend bool operator==(const DisplayName& a, const char* b) { return a.view() == b; }
    friend std::ostream& operator<<(std::ostream& out, const DisplayName& n) { return out << n.view(); }

private:
    static constexpr std::size_t kInline = 23;
    static constexpr std::size_t kTag = kInline;  // length in place, or kHeapTag
    static constexpr char kHeapTag = static_cast<char>(0xFF);

    bool onHeap() const { return store_[kTag] == kHeapTag; }
    char* heapData() const
    {
        char* p = nullptr;
        std::memcpy(&p, store_, sizeof p);
        return p;
    }
    std::size_t heapSize() const
    {
        std::size_t n = 0;
        std::memcpy(&n, store_ + sizeof(char*), sizeof n);
        return n;
    }
    void setHeap(char* p, std::size_t n)
    {
        std::memcpy(store_, &p, sizeof p);
        std::memcpy(store_ + sizeof p, &n, sizeof n);
        store_[kTag] = kHeapTag;
    }
    void release()
    {
        if (onHeap()) delete[] heapData();
        store_[kTag] = 0;
    }

    // Byte-aligned, so a record keeps its packed size: the text in place
    // with its length in the last byte, or a pointer and a length.
    char store_[kInline + 1] = {};
    static_assert(sizeof(char*) + sizeof(std::size_t) <= kInline, "pointer and length fit in place");
};

}  // namespace db
