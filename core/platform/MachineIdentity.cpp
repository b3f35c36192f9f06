#include "core/platform/MachineIdentity.h"

#include <cstdio>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#define QS_HAVE_CPUID 1
#endif

#if defined(__linux__)
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <sys/socket.h>
#endif

namespace qs {

std::string ShiftIdentityText(const std::string &plain)
{
    std::string shifted = plain;
    for (char &c : shifted)
        c = static_cast<char>(c + 5);
    return shifted;
}

std::string AdapterAddressTextFrom(const std::optional<std::array<std::uint8_t, 6>> &address)
{
    if (!address)
        return {};
    const auto &a = *address;
    char text[13];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X%02X%02X", a[0], a[1], a[2], a[3], a[4],
                  a[5]);
    return ShiftIdentityText(text);
}

std::string ProcessorIdTextFrom(const std::optional<CpuidLeaves> &leaves)
{
    if (!leaves)
        return {};
    char vendor[13];
    std::memcpy(vendor, &leaves->leaf0[1], 4);
    std::memcpy(vendor + 4, &leaves->leaf0[3], 4);
    std::memcpy(vendor + 8, &leaves->leaf0[2], 4);
    vendor[12] = '\0';
    std::string plain(vendor);
    char group[17];
    if (leaves->leaf1[3] != 0 && leaves->leaf1[0] != 0) {
        std::snprintf(group, sizeof group, "%08X%08X", leaves->leaf1[3], leaves->leaf1[0]);
        plain += group;
    }
    if (leaves->leaf3[3] != 0 && leaves->leaf3[2] != 0) {
        std::snprintf(group, sizeof group, "%08X%08X", leaves->leaf3[3], leaves->leaf3[2]);
        plain += group;
    }
    return ShiftIdentityText(plain);
}

std::optional<std::array<std::uint8_t, 6>> FirstAdapterAddress()
{
#if defined(__linux__)
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return std::nullopt;
    std::optional<std::array<std::uint8_t, 6>> found;
    for (ifaddrs *entry = list; entry != nullptr && !found; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_PACKET
            || (entry->ifa_flags & IFF_LOOPBACK) != 0)
            continue;
        sockaddr_ll link;
        std::memcpy(&link, entry->ifa_addr, sizeof link);
        if (link.sll_halen != 6)
            continue;
        std::array<std::uint8_t, 6> address;
        std::memcpy(address.data(), link.sll_addr, 6);
        found = address;
    }
    freeifaddrs(list);
    return found;
#else
    return std::nullopt;
#endif
}

std::optional<CpuidLeaves> ReadCpuid()
{
#ifdef QS_HAVE_CPUID
    CpuidLeaves leaves;
    unsigned maxLeaf = __get_cpuid_max(0, nullptr);
    if (maxLeaf == 0)
        return std::nullopt;
    __cpuid(0, leaves.leaf0[0], leaves.leaf0[1], leaves.leaf0[2], leaves.leaf0[3]);
    if (maxLeaf >= 1)
        __cpuid(1, leaves.leaf1[0], leaves.leaf1[1], leaves.leaf1[2], leaves.leaf1[3]);
    if (maxLeaf >= 3)
        __cpuid_count(3, 0, leaves.leaf3[0], leaves.leaf3[1], leaves.leaf3[2], leaves.leaf3[3]);
    return leaves;
#else
    return std::nullopt;
#endif
}

std::string AdapterAddressText()
{
    return AdapterAddressTextFrom(FirstAdapterAddress());
}

std::string ProcessorIdText()
{
    return ProcessorIdTextFrom(ReadCpuid());
}

} // namespace qs
