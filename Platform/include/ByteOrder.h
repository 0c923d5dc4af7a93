#pragma once
// Numbers in stored files and records are little-endian whatever the processor, so that a file
// moves between machines. Every such number is put and taken here, byte by byte, instead of
// copying the number's memory and hoping the processor agrees.
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace ByteOrder {

// Writes the sizeof(T) bytes of `value` into out[0..sizeof(T)), lowest byte first.
template <std::integral T>
constexpr void PutLittleEndian(T value, unsigned char* out) {
    auto bits = static_cast<std::make_unsigned_t<T>>(value);
    for (size_t i = 0; i < sizeof(T); ++i) {
        out[i] = static_cast<unsigned char>(bits & 0xFFu);
        bits = static_cast<std::make_unsigned_t<T>>(bits >> 8);
    }
}

// Reads a T from in[0..sizeof(T)), lowest byte first. Signed types come back in two's complement.
template <std::integral T>
constexpr T GetLittleEndian(const unsigned char* in) {
    using U = std::make_unsigned_t<T>;
    U bits = 0;
    for (size_t i = sizeof(T); i-- > 0;) bits = static_cast<U>((bits << 8) | in[i]);
    return static_cast<T>(bits);
}

// A number written to or read from anything with the binary file functions WriteBin/ReadBin
// (IO::File). The file's own result comes back (0 = fine); a failed read leaves `value` as it was.
template <typename File, std::integral T>
auto WriteLittleEndian(File& file, T value) {
    unsigned char bytes[sizeof(T)];
    PutLittleEndian(value, bytes);
    return file.WriteBin(reinterpret_cast<const char*>(bytes), static_cast<int32_t>(sizeof(T)));
}

template <typename File, std::integral T>
auto ReadLittleEndian(File& file, T& value) {
    unsigned char bytes[sizeof(T)] = {};
    const auto err = file.ReadBin(reinterpret_cast<char*>(bytes), static_cast<int32_t>(sizeof(T)));
    if (err == 0) value = GetLittleEndian<T>(bytes);
    return err;
}

}  // namespace ByteOrder
