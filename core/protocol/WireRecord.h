#pragma once

#include <bit>
#include <cstddef>
#include <cstring>
#include <span>
#include <type_traits>

namespace qs {

static_assert(std::endian::native == std::endian::little,
              "wire records are little-endian and decoded by plain copies");

// A record whose in-memory layout is its wire layout: every byte, listed or not, is a member, so
// decode then encode gives back the bytes unchanged.
template<class T>
concept WireRecord = std::is_trivially_copyable_v<T> && std::is_standard_layout_v<T>;

template<WireRecord T>
T DecodeRecord(const void *bytes)
{
    T record;
    std::memcpy(&record, bytes, sizeof(T));
    return record;
}

// False (record untouched) when fewer than sizeof(T) bytes are given.
template<WireRecord T>
bool DecodeRecord(std::span<const std::byte> bytes, T &record)
{
    if (bytes.size() < sizeof(T))
        return false;
    std::memcpy(&record, bytes.data(), sizeof(T));
    return true;
}

template<WireRecord T>
void EncodeRecord(const T &record, void *out)
{
    std::memcpy(out, &record, sizeof(T));
}

// Every byte is a member, so value-initialisation leaves no byte unset.
template<WireRecord T>
T ZeroRecord()
{
    return T{};
}

} // namespace qs
