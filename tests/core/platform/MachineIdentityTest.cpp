#include "core/platform/MachineIdentity.h"

#include <gtest/gtest.h>

#include <cstring>

namespace qs {
namespace {

CpuidLeaves VendorLeaves(const char *vendor)
{
    CpuidLeaves leaves;
    // The vendor text is EBX, EDX, ECX in that order.
    std::memcpy(&leaves.leaf0[1], vendor, 4);
    std::memcpy(&leaves.leaf0[3], vendor + 4, 4);
    std::memcpy(&leaves.leaf0[2], vendor + 8, 4);
    return leaves;
}

TEST(MachineIdentity, AdapterAddressIsUpperCaseHexShifted)
{
    const std::array<std::uint8_t, 6> address{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0xFF};
    // "001A2B3C4DFF" shifted.
    EXPECT_EQ(AdapterAddressTextFrom(address), "556F7G8H9IKK");
    EXPECT_EQ(AdapterAddressTextFrom(std::nullopt), "");
    EXPECT_EQ(ShiftIdentityText(""), "");
}

TEST(MachineIdentity, ProcessorTextGrowsByOneGroupPerNonZeroLeaf)
{
    CpuidLeaves leaves = VendorLeaves("GenuineIntel");
    EXPECT_EQ(ProcessorIdTextFrom(leaves), ShiftIdentityText("GenuineIntel"));

    leaves.leaf1[0] = 0x000906EA; // eax
    leaves.leaf1[3] = 0xBFEBFBFF; // edx
    const std::string oneGroup = ProcessorIdTextFrom(leaves);
    EXPECT_EQ(oneGroup, ShiftIdentityText("GenuineIntelBFEBFBFF000906EA"));
    EXPECT_EQ(oneGroup.size(), 28u);

    // Leaf 3 counts only when both EDX and ECX are non-zero.
    leaves.leaf3[3] = 0x12345678;
    EXPECT_EQ(ProcessorIdTextFrom(leaves).size(), 28u);
    leaves.leaf3[2] = 0x9ABCDEF0;
    EXPECT_EQ(ProcessorIdTextFrom(leaves),
              ShiftIdentityText("GenuineIntelBFEBFBFF000906EA123456789ABCDEF0"));
    EXPECT_EQ(ProcessorIdTextFrom(leaves).size(), 44u);

    EXPECT_EQ(ProcessorIdTextFrom(std::nullopt), "");
}

TEST(MachineIdentity, ThisMachineGivesWellFormedTexts)
{
    const std::string adapter = AdapterAddressText();
    EXPECT_TRUE(adapter.empty() || adapter.size() == 12u) << adapter;
    const std::string processor = ProcessorIdText();
    EXPECT_TRUE(processor.empty() || processor.size() == 12u || processor.size() == 28u
                || processor.size() == 44u)
        << processor;
}

} // namespace
} // namespace qs
