#pragma once

#include "core/platform/DataFolder.h"

#include <array>
#include <cstdint>
#include <string>

namespace qs {

// The 80-byte "data" file beside the cache files: last product and last member name. Every
// writer reads the file first and changes only its own field.
class ClientSettings {
public:
    static constexpr std::size_t kSize = 80;
    static constexpr std::size_t kFlagsOffset = 12;
    static constexpr std::size_t kFlagCount = 30;
    static constexpr std::size_t kProductOffset = 48;
    static constexpr std::size_t kNameOffset = 52;
    static constexpr std::size_t kNameSize = 24;
    static constexpr std::size_t kMarkerOffset = 76;

    // All zero but the thirty flag bytes, which are 1.
    ClientSettings();

    // Defaults unless the file holds 80 bytes whose marker is 1.
    static ClientSettings read(const DataFolder &folder);
    // Writes the 80 bytes with the marker set, replacing the file atomically.
    bool write(const DataFolder &folder) const;

    std::int32_t lastProduct() const;
    void setLastProduct(std::int32_t productId);
    // The stored product when it lies in 1..99, else 0.
    std::int32_t usableLastProduct() const;

    std::string memberName() const;
    // Stored as GBK, cut at a character boundary so the terminator fits.
    void setMemberName(const std::string &utf8);

    const std::array<std::uint8_t, kSize> &bytes() const { return m_bytes; }

private:
    std::array<std::uint8_t, kSize> m_bytes{};
};

} // namespace qs
