#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qs {

// The one place that converts between the wire's ANSI code page (GBK) and UTF-8.
// Bytes that do not decode become U+FFFD; characters GBK cannot hold become '?'.
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);

// Reads a NUL-terminated char[size] field without running past it (no terminator: all size bytes).
std::string ReadAnsiField(const char *field, std::size_t size);

// Writes utf8 into a char[size] field as GBK, zero-filling the rest. The text is cut at a
// character boundary so the terminator always fits. Returns the number of text bytes written.
std::size_t WriteAnsiField(char *field, std::size_t size, std::string_view utf8);

template<std::size_t N>
std::string ReadAnsiField(const char (&field)[N])
{
    return ReadAnsiField(field, N);
}

template<std::size_t N>
std::size_t WriteAnsiField(char (&field)[N], std::string_view utf8)
{
    return WriteAnsiField(field, N, utf8);
}

} // namespace qs
