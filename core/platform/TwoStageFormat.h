#pragma once

#include <cstdio>
#include <string>

namespace qs {

// printf into a string of whatever length it needs. Formats come from the program itself or
// from a first stage whose server text went through EscapePercent.
template<typename... Args>
std::string Format(const std::string &format, Args... args)
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int length = std::snprintf(nullptr, 0, format.c_str(), args...);
    if (length < 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), format.c_str(), args...);
#pragma GCC diagnostic pop
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// Server text that goes into a first formatting stage: every '%' doubled, so the second stage
// shows it literally instead of reading a conversion from it.
inline std::string EscapePercent(const std::string &text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        escaped += c;
        if (c == '%')
            escaped += '%';
    }
    return escaped;
}

} // namespace qs
