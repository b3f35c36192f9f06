#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace qs {

// Texts that identify this computer in a login request. Every character is the plain text's
// character with 5 added to its code.

// Registers of the processor identification leaves 0, 1 and 3 (sub-leaf 0).
struct CpuidLeaves {
    std::uint32_t leaf0[4] = {0, 0, 0, 0}; // eax, ebx, ecx, edx
    std::uint32_t leaf1[4] = {0, 0, 0, 0};
    std::uint32_t leaf3[4] = {0, 0, 0, 0};
};

std::string ShiftIdentityText(const std::string &plain);

// "%02X" six times, shifted; empty without an address.
std::string AdapterAddressTextFrom(const std::optional<std::array<std::uint8_t, 6>> &address);
// Vendor text, then "%08X%08X" of leaf 1's EDX, EAX and of leaf 3's EDX, ECX where both are
// non-zero; shifted. Empty when no leaves are known.
std::string ProcessorIdTextFrom(const std::optional<CpuidLeaves> &leaves);

// The hardware address of the first non-loopback adapter.
std::optional<std::array<std::uint8_t, 6>> FirstAdapterAddress();
std::optional<CpuidLeaves> ReadCpuid();

std::string AdapterAddressText();
std::string ProcessorIdText();

} // namespace qs
