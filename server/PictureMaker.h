#pragma once

#include "core/protocol/LoginRecords.h"

#include <array>
#include <cstdint>
#include <string>

namespace qs::server {

// Rows of a 5 x 7 digit glyph, top row first; bit 4 is the leftmost pixel.
using DigitGlyph = std::array<std::uint8_t, 7>;
const DigitGlyph &GlyphOf(int digit);

// Where the glyphs of a code land in the picture: each font pixel becomes a square of kScale.
struct CodeLayout {
    static constexpr int kScale = 2;
    static constexpr int kGlyphWidth = 5 * kScale;
    static constexpr int kGlyphHeight = 7 * kScale;
    static constexpr int kGap = 4;
    static constexpr int kLeft = 6; // centres 4 glyphs and 3 gaps in 65 pixels
    static constexpr int kTop = 3;  // from the top row of the picture as seen
};

// Draws a verification code into the 65 x 20 bottom-up picture of the login dialog: dark digits on
// a pale ground, with a sprinkle of light speckles that never touch a glyph.
class PictureMaker {
public:
    // code: four characters '0'-'9'; others are drawn as blanks. noiseSeed varies the speckles.
    static VerificationPicture draw(const std::string &code, std::uint64_t noiseSeed);
    // Bytes of one pixel (blue, green, red) at x, y counted from the top-left as seen.
    static std::size_t offsetOf(int x, int y);
};

} // namespace qs::server
