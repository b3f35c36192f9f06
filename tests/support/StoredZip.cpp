#include "tests/support/StoredZip.h"

namespace qs::test {

namespace {

void Put16(std::vector<std::uint8_t> &out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t> &out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutText(std::vector<std::uint8_t> &out, const std::string &text)
{
    out.insert(out.end(), text.begin(), text.end());
}

constexpr std::uint32_t kDosTime = 0;
constexpr std::uint32_t kDosDate = (44u << 9) | (1u << 5) | 1u; // 2024-01-01

} // namespace

std::uint32_t Crc32(const std::vector<std::uint8_t> &data)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::vector<std::uint8_t> MakeStoredZip(const std::vector<ZipItem> &items)
{
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> directory;
    for (const ZipItem &item : items) {
        const auto offset = static_cast<std::uint32_t>(out.size());
        const std::uint32_t crc = Crc32(item.data) ^ (item.wrongCrc ? 0x5A5A5A5Au : 0u);
        const auto size = static_cast<std::uint32_t>(item.data.size());
        const auto nameLength = static_cast<std::uint32_t>(item.name.size());

        Put32(out, 0x04034b50u); // local file header
        Put16(out, 20);          // version needed
        Put16(out, 0);           // flags
        Put16(out, 0);           // stored
        Put16(out, kDosTime);
        Put16(out, kDosDate);
        Put32(out, crc);
        Put32(out, size);
        Put32(out, size);
        Put16(out, nameLength);
        Put16(out, 0);
        PutText(out, item.name);
        out.insert(out.end(), item.data.begin(), item.data.end());

        Put32(directory, 0x02014b50u); // central directory header
        Put16(directory, 20);          // made by
        Put16(directory, 20);          // needed
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, kDosTime);
        Put16(directory, kDosDate);
        Put32(directory, crc);
        Put32(directory, size);
        Put32(directory, size);
        Put16(directory, nameLength);
        Put16(directory, 0); // extra
        Put16(directory, 0); // comment
        Put16(directory, 0); // disk
        Put16(directory, 0); // internal attributes
        Put32(directory, 0); // external attributes
        Put32(directory, offset);
        PutText(directory, item.name);
    }
    const auto directoryOffset = static_cast<std::uint32_t>(out.size());
    out.insert(out.end(), directory.begin(), directory.end());
    Put32(out, 0x06054b50u); // end of central directory
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<std::uint32_t>(items.size()));
    Put16(out, static_cast<std::uint32_t>(items.size()));
    Put32(out, static_cast<std::uint32_t>(directory.size()));
    Put32(out, directoryOffset);
    Put16(out, 0);
    return out;
}

} // namespace qs::test
