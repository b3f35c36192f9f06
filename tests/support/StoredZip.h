#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qs::test {

// A zip archive of uncompressed items built byte by byte from the format's tables, so tests of
// the unpacking path do not depend on the library that reads it.
struct ZipItem {
    std::string name;
    std::vector<std::uint8_t> data;
    bool wrongCrc = false; // the item then fails its check when unpacked
};

std::vector<std::uint8_t> MakeStoredZip(const std::vector<ZipItem> &items);

std::uint32_t Crc32(const std::vector<std::uint8_t> &data);

} // namespace qs::test
