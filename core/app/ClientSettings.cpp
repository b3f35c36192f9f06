#include "core/app/ClientSettings.h"

#include "core/platform/AnsiCodec.h"

#include <cstring>

namespace qs {

namespace {
constexpr const char *kFileName = "data";

std::int32_t LoadInt(const std::uint8_t *at)
{
    std::int32_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void StoreInt(std::uint8_t *at, std::int32_t value)
{
    std::memcpy(at, &value, sizeof value);
}
} // namespace

ClientSettings::ClientSettings()
{
    for (std::size_t i = 0; i < kFlagCount; ++i)
        m_bytes[kFlagsOffset + i] = 1;
}

ClientSettings ClientSettings::read(const DataFolder &folder)
{
    ClientSettings settings;
    std::string contents;
    if (!ReadWholeFile(folder.file(kFileName), contents) || contents.size() < kSize)
        return settings;
    if (LoadInt(reinterpret_cast<const std::uint8_t *>(contents.data()) + kMarkerOffset) != 1)
        return settings;
    std::memcpy(settings.m_bytes.data(), contents.data(), kSize);
    return settings;
}

bool ClientSettings::write(const DataFolder &folder) const
{
    std::array<std::uint8_t, kSize> out = m_bytes;
    StoreInt(out.data() + kMarkerOffset, 1);
    return ReplaceFileAtomically(folder.file(kFileName), out.data(), out.size());
}

std::int32_t ClientSettings::lastProduct() const
{
    return LoadInt(m_bytes.data() + kProductOffset);
}

void ClientSettings::setLastProduct(std::int32_t productId)
{
    StoreInt(m_bytes.data() + kProductOffset, productId);
}

std::int32_t ClientSettings::usableLastProduct() const
{
    const std::int32_t id = lastProduct();
    return id >= 1 && id <= 99 ? id : 0;
}

std::string ClientSettings::memberName() const
{
    return ReadAnsiField(reinterpret_cast<const char *>(m_bytes.data()) + kNameOffset, kNameSize);
}

void ClientSettings::setMemberName(const std::string &utf8)
{
    WriteAnsiField(reinterpret_cast<char *>(m_bytes.data()) + kNameOffset, kNameSize, utf8);
}

} // namespace qs
