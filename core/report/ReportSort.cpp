#include "core/report/ReportSort.h"

#include <charconv>
#include <cstdint>
#include <string>

namespace qs {

namespace {

// UTF-8 to UTF-16 code units; an invalid byte stands for itself.
std::u16string Utf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::uint32_t code = lead;
        std::size_t length = 1;
        if (lead >= 0xF0) {
            length = 4;
            code = lead & 0x07u;
        } else if (lead >= 0xE0) {
            length = 3;
            code = lead & 0x0Fu;
        } else if (lead >= 0xC0) {
            length = 2;
            code = lead & 0x1Fu;
        }
        if (length > 1 && i + length <= text.size()) {
            for (std::size_t k = 1; k < length; ++k)
                code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        } else {
            length = 1;
            code = lead;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
        i += length;
    }
    return out;
}

// The leading number of a text, as a float; 0 when there is none. No locale is involved.
float AsNumber(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    float value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

} // namespace

int CompareCells(SortKind kind, std::string_view a, std::string_view b)
{
    switch (kind) {
    case SortKind::Text:
        return Utf16(a).compare(Utf16(b));
    case SortKind::Number: {
        const float x = AsNumber(a);
        const float y = AsNumber(b);
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    case SortKind::Equal:
        break;
    }
    return 0;
}

void SortState::click(int clicked)
{
    if (clicked == column) {
        ascending = !ascending;
    } else {
        column = clicked;
        ascending = true;
    }
}

} // namespace qs
