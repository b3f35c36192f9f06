#include "server/PictureMaker.h"

#include <random>

namespace qs::server {

namespace {

constexpr std::array<DigitGlyph, 10> kGlyphs{{
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, // 0
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}, // 1
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, // 2
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}, // 3
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, // 4
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}, // 5
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, // 6
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}, // 7
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, // 8
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}, // 9
}};

constexpr std::uint8_t kGround[3] = {0xF0, 0xF4, 0xF8}; // blue, green, red
constexpr std::uint8_t kInk[3] = {0x80, 0x30, 0x20};

void Paint(VerificationPicture &picture, int x, int y, const std::uint8_t (&bgr)[3])
{
    const std::size_t at = PictureMaker::offsetOf(x, y);
    picture.bytes[at] = bgr[0];
    picture.bytes[at + 1] = bgr[1];
    picture.bytes[at + 2] = bgr[2];
}

} // namespace

const DigitGlyph &GlyphOf(int digit)
{
    static const DigitGlyph blank{};
    if (digit < 0 || digit > 9)
        return blank;
    return kGlyphs[static_cast<std::size_t>(digit)];
}

std::size_t PictureMaker::offsetOf(int x, int y)
{
    const int row = VerificationPicture::kHeight - 1 - y; // bottom row first in memory
    return static_cast<std::size_t>(row) * VerificationPicture::kStride
           + static_cast<std::size_t>(x) * 3;
}

VerificationPicture PictureMaker::draw(const std::string &code, std::uint64_t noiseSeed)
{
    VerificationPicture picture; // row padding stays zero
    for (int y = 0; y < VerificationPicture::kHeight; ++y) {
        for (int x = 0; x < VerificationPicture::kWidth; ++x)
            Paint(picture, x, y, kGround);
    }

    // Light speckles in the gaps only, so the digits stay legible.
    std::mt19937_64 random(noiseSeed);
    std::uniform_int_distribution<int> column(0, VerificationPicture::kWidth - 1);
    std::uniform_int_distribution<int> row(0, VerificationPicture::kHeight - 1);
    const std::uint8_t speckle[3] = {0xC8, 0xD8, 0xE0};
    for (int i = 0; i < 40; ++i) {
        const int x = column(random);
        const int y = row(random);
        const bool inGlyphBand
            = y >= CodeLayout::kTop - 1 && y <= CodeLayout::kTop + CodeLayout::kGlyphHeight
              && x >= CodeLayout::kLeft - 1 && x <= VerificationPicture::kWidth - CodeLayout::kLeft;
        if (!inGlyphBand)
            Paint(picture, x, y, speckle);
    }

    for (std::size_t i = 0; i < 4 && i < code.size(); ++i) {
        const char c = code[i];
        const DigitGlyph &glyph = GlyphOf(c >= '0' && c <= '9' ? c - '0' : -1);
        const int left = CodeLayout::kLeft
                         + static_cast<int>(i) * (CodeLayout::kGlyphWidth + CodeLayout::kGap);
        for (int gy = 0; gy < 7; ++gy) {
            for (int gx = 0; gx < 5; ++gx) {
                if ((glyph[static_cast<std::size_t>(gy)] & (0x10 >> gx)) == 0)
                    continue;
                for (int dy = 0; dy < CodeLayout::kScale; ++dy) {
                    for (int dx = 0; dx < CodeLayout::kScale; ++dx)
                        Paint(picture, left + gx * CodeLayout::kScale + dx,
                              CodeLayout::kTop + gy * CodeLayout::kScale + dy, kInk);
                }
            }
        }
    }
    return picture;
}

} // namespace qs::server
