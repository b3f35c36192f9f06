#include "server/PictureMaker.h"

#include <gtest/gtest.h>

#include <string>

namespace qs::server {
namespace {

bool IsInk(const VerificationPicture &picture, int x, int y)
{
    // Ink is dark; the ground and the speckles are light.
    return picture.bytes[PictureMaker::offsetOf(x, y) + 2] < 0x80;
}

// Reads the code back the way a person would: glyph cell by glyph cell, top row first.
std::string ReadCode(const VerificationPicture &picture)
{
    std::string code;
    for (int i = 0; i < 4; ++i) {
        const int left = CodeLayout::kLeft + i * (CodeLayout::kGlyphWidth + CodeLayout::kGap);
        DigitGlyph seen{};
        for (int gy = 0; gy < 7; ++gy) {
            for (int gx = 0; gx < 5; ++gx) {
                if (IsInk(picture, left + gx * CodeLayout::kScale,
                          CodeLayout::kTop + gy * CodeLayout::kScale))
                    seen[static_cast<std::size_t>(gy)] |= static_cast<std::uint8_t>(0x10 >> gx);
            }
        }
        char digit = '?';
        for (int d = 0; d <= 9; ++d) {
            if (GlyphOf(d) == seen)
                digit = static_cast<char>('0' + d);
        }
        code += digit;
    }
    return code;
}

TEST(PictureMakerTest, GlyphsAreDistinctAndNotSymmetricUpsideDown)
{
    for (int a = 0; a <= 9; ++a) {
        for (int b = a + 1; b <= 9; ++b)
            EXPECT_NE(GlyphOf(a), GlyphOf(b)) << a << " and " << b;
    }
    // A picture stored top row first would read "7" as something else: the glyph is not its own
    // mirror image.
    DigitGlyph flipped = GlyphOf(7);
    std::reverse(flipped.begin(), flipped.end());
    EXPECT_NE(flipped, GlyphOf(7));
}

TEST(PictureMakerTest, RowPaddingStaysZeroAndTheFirstRowInMemoryIsTheBottom)
{
    const VerificationPicture picture = PictureMaker::draw("8888", 1);
    for (int row = 0; row < VerificationPicture::kHeight; ++row) {
        const std::size_t pad = static_cast<std::size_t>(row) * VerificationPicture::kStride + 195;
        EXPECT_EQ(picture.bytes[pad], 0) << "row " << row;
    }
    // The top glyph row of an 8 is ink at (left + 2 pixels, kTop): memory row 19 - kTop.
    const std::size_t top
        = static_cast<std::size_t>(VerificationPicture::kHeight - 1 - CodeLayout::kTop)
              * VerificationPicture::kStride
          + static_cast<std::size_t>(CodeLayout::kLeft + 2) * 3;
    EXPECT_LT(picture.bytes[top + 2], 0x80);
    EXPECT_EQ(PictureMaker::offsetOf(CodeLayout::kLeft + 2, CodeLayout::kTop), top);
}

TEST(PictureMakerTest, CodeReadsBackUprightWhateverTheNoise)
{
    for (const std::string code : {"0123", "4567", "8901", "7777", "2580"}) {
        for (std::uint64_t seed = 0; seed < 20; ++seed)
            EXPECT_EQ(ReadCode(PictureMaker::draw(code, seed)), code) << seed;
    }
    EXPECT_NE(PictureMaker::draw("2580", 1).bytes, PictureMaker::draw("2580", 2).bytes);
}

} // namespace
} // namespace qs::server
