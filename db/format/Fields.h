#pragma once

// Field descriptors and the byte-block record they address.
//
// Every record of the game's files is a fixed-size block of little-endian,
// byte-packed fields. Records keep their bytes exactly as read, so anything we
// do not interpret travels through a load and a save untouched. Callers never
// use raw offsets: each record type names its fields as constants of the types
// below, and the accessors of RecordBytes read and write them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace db {

// The little-endian unsigned number of `width` bytes (1 to 4) at `p`.
inline std::uint32_t readLittleEndian(const std::uint8_t* p, std::size_t width)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < width; ++i) v |= std::uint32_t(p[i]) << (8 * i);
    return v;
}

struct U8Field {
    std::uint16_t offset;
};
struct I16Field {
    std::uint16_t offset;
};
struct U16Field {
    std::uint16_t offset;
};
struct I32Field {
    std::uint16_t offset;
};

// A number field of any width, for code that handles fields generically (the
// tables that tie an editor control to its field).
struct NumField {
    std::uint16_t offset;
    std::uint8_t width;  // 1, 2 or 4 bytes
    bool isSigned;

    constexpr NumField(std::uint16_t o, std::uint8_t w, bool s) : offset(o), width(w), isSigned(s) {}
    constexpr NumField(U8Field f) : offset(f.offset), width(1), isSigned(false) {}
    constexpr NumField(I16Field f) : offset(f.offset), width(2), isSigned(true) {}
    constexpr NumField(U16Field f) : offset(f.offset), width(2), isSigned(false) {}
    constexpr NumField(I32Field f) : offset(f.offset), width(4), isSigned(true) {}
};

// Fixed-width single-byte text: ends at the first NUL or fills the field.
struct TextField {
    std::uint16_t offset;
    std::uint16_t width;
};

// A run of `count` signed 32-bit references.
struct IdListField {
    std::uint16_t offset;
    std::uint8_t count;

    constexpr I32Field at(int k) const { return I32Field{static_cast<std::uint16_t>(offset + 4 * k)}; }
};

// The 8-byte date of staff records: u16 day of year, i16 year, 4 reserved bytes.
struct DateField {
    std::uint16_t offset;

    constexpr U16Field dayOfYear() const { return U16Field{offset}; }
    constexpr I16Field year() const { return I16Field{static_cast<std::uint16_t>(offset + 2)}; }
};

// Raw bytes that are never interpreted (reserved areas, template blocks).
struct BytesField {
    std::uint16_t offset;
    std::uint16_t width;
};

template <std::size_t N>
class RecordBytes {
public:
    static constexpr std::size_t Size = N;

    std::array<std::uint8_t, N> bytes{};

    const std::uint8_t* data() const { return bytes.data(); }
    std::uint8_t* data() { return bytes.data(); }

    std::uint8_t get(U8Field f) const { return bytes[f.offset]; }
    std::int16_t get(I16Field f) const { return static_cast<std::int16_t>(read(f.offset, 2)); }
    std::uint16_t get(U16Field f) const { return static_cast<std::uint16_t>(read(f.offset, 2)); }
    std::int32_t get(I32Field f) const { return static_cast<std::int32_t>(read(f.offset, 4)); }

    void set(U8Field f, std::uint8_t v) { bytes[f.offset] = v; }
    void set(I16Field f, std::int16_t v) { write(f.offset, 2, static_cast<std::uint16_t>(v)); }
    void set(U16Field f, std::uint16_t v) { write(f.offset, 2, v); }
    void set(I32Field f, std::int32_t v) { write(f.offset, 4, static_cast<std::uint32_t>(v)); }

    // Value of a field of any width: unsigned for one byte or an unsigned
    // field, signed otherwise.
    std::int64_t number(NumField f) const
    {
        std::uint32_t raw = read(f.offset, f.width);
        if (!f.isSigned) return raw;
        if (f.width == 1) return static_cast<std::int8_t>(raw);
        if (f.width == 2) return static_cast<std::int16_t>(raw);
        return static_cast<std::int32_t>(raw);
    }
    // Stores the low bits of v that fit the field's width.
    void setNumber(NumField f, std::int64_t v) { write(f.offset, f.width, static_cast<std::uint32_t>(v)); }

    // Flag bytes: any nonzero byte reads as set; written as 255 or 0.
    bool flag(U8Field f) const { return bytes[f.offset] != 0; }
    void setFlag(U8Field f, bool on) { bytes[f.offset] = on ? 255 : 0; }

    // The stored Windows-1252 bytes up to the first NUL or the field's width.
    std::string text(TextField f) const
    {
        const char* p = reinterpret_cast<const char*>(bytes.data() + f.offset);
        std::size_t len = 0;
        while (len < f.width && p[len] != '\0') ++len;
        return std::string(p, len);
    }
    // Stores at most the field's width of `raw` (Windows-1252 bytes), then NULs.
    void setText(TextField f, std::string_view raw)
    {
        std::size_t n = raw.size() < f.width ? raw.size() : f.width;
        for (std::size_t i = 0; i < f.width; ++i)
            bytes[f.offset + i] = i < n ? static_cast<std::uint8_t>(raw[i]) : 0;
    }

    std::int32_t id(IdListField f, int k) const { return get(f.at(k)); }
    void setId(IdListField f, int k, std::int32_t v) { set(f.at(k), v); }
    void fillIds(IdListField f, std::int32_t v)
    {
        for (int k = 0; k < f.count; ++k) setId(f, k, v);
    }

    void fill(BytesField f, std::uint8_t v)
    {
        for (std::size_t i = 0; i < f.width; ++i) bytes[f.offset + i] = v;
    }

private:
    std::uint32_t read(std::size_t off, std::size_t width) const { return readLittleEndian(bytes.data() + off, width); }
    void write(std::size_t off, std::size_t width, std::uint32_t v)
    {
        for (std::size_t i = 0; i < width; ++i) bytes[off + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
};

}  // namespace db
