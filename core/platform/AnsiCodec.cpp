#include "core/platform/AnsiCodec.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

namespace qs {

namespace {

constexpr const char *kReplacementUtf8 = "\xEF\xBF\xBD"; // U+FFFD

// Bytes taken by the UTF-8 character at text[0]: its length when well-formed, everything left
// when the text ends inside it, 0 when it is malformed.
std::size_t Utf8SequenceLength(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    else
        return 0;
    const std::size_t present = std::min(length, text.size());
    for (std::size_t i = 1; i < present; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return 0;
    }
    return present;
}

#ifdef _WIN32

std::wstring ToWide(UINT codePage, std::string_view text)
{
    if (text.empty())
        return {};
    const int length = ::MultiByteToWideChar(codePage, 0, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          length);
    return wide;
}

std::string FromWide(UINT codePage, const std::wstring &wide)
{
    if (wide.empty())
        return {};
    const char *fallback = codePage == CP_UTF8 ? nullptr : "?";
    const int length = ::WideCharToMultiByte(
        codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, fallback, nullptr);
    if (length <= 0)
        return {};
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(),
                          length, fallback, nullptr);
    return narrow;
}

#else

// One pair of descriptors per thread: iconv_t keeps shift state and must not be shared.
class IconvPair {
public:
    IconvPair()
        : m_decode(::iconv_open("UTF-8", "GBK"))
        , m_encode(::iconv_open("GBK", "UTF-8"))
    {}
    ~IconvPair()
    {
        if (valid(m_decode))
            ::iconv_close(m_decode);
        if (valid(m_encode))
            ::iconv_close(m_encode);
    }
    IconvPair(const IconvPair &) = delete;
    IconvPair &operator=(const IconvPair &) = delete;

    iconv_t decoder() const { return m_decode; }
    iconv_t encoder() const { return m_encode; }
    static bool valid(iconv_t descriptor) { return descriptor != reinterpret_cast<iconv_t>(-1); }

private:
    iconv_t m_decode;
    iconv_t m_encode;
};

IconvPair &Descriptors()
{
    thread_local IconvPair pair;
    return pair;
}

// Runs iconv over the whole input. At a byte it cannot take, onBad appends its substitute and
// says how many input bytes to skip.
template<typename OnBad>
std::string Convert(iconv_t descriptor, std::string_view input, OnBad onBad)
{
    std::string output;
    if (!IconvPair::valid(descriptor))
        return output;
    ::iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
    output.reserve(input.size() * 2);
    char buffer[1024];
    char *in = const_cast<char *>(input.data());
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        char *out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = ::iconv(descriptor, &in, &inLeft, &out, &outLeft);
        output.append(buffer, static_cast<std::size_t>(out - buffer));
        if (result != static_cast<std::size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        // EILSEQ or EINVAL (a sequence cut short at the end of the input).
        const std::size_t skip = std::min(inLeft, onBad(std::string_view(in, inLeft), output));
        in += skip;
        inLeft -= skip;
        ::iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
    }
    return output;
}

#endif

} // namespace

std::string AnsiToUtf8(std::string_view ansi)
{
#ifdef _WIN32
    return FromWide(CP_UTF8, ToWide(CP_ACP, ansi));
#else
    // Skip only the offending byte: what follows a bad lead byte may be plain ASCII.
    return Convert(Descriptors().decoder(), ansi, [](std::string_view, std::string &out) {
        out += kReplacementUtf8;
        return std::size_t{1};
    });
#endif
}

std::string Utf8ToAnsi(std::string_view utf8)
{
#ifdef _WIN32
    return FromWide(CP_ACP, ToWide(CP_UTF8, utf8));
#else
    return Convert(Descriptors().encoder(), utf8, [](std::string_view rest, std::string &out) {
        out += '?';
        return std::max<std::size_t>(1, Utf8SequenceLength(rest));
    });
#endif
}

std::string ReadAnsiField(const char *field, std::size_t size)
{
    if (field == nullptr || size == 0)
        return {};
    return AnsiToUtf8(std::string_view(field, ::strnlen(field, size)));
}

std::size_t WriteAnsiField(char *field, std::size_t size, std::string_view utf8)
{
    if (field == nullptr || size == 0)
        return 0;
    std::memset(field, 0, size);
    const std::string ansi = Utf8ToAnsi(utf8);
    const std::size_t limit = size - 1; // room for the terminator
    std::size_t length = 0;
    while (length < ansi.size()) {
        const auto lead = static_cast<unsigned char>(ansi[length]);
        if (lead == 0)
            break; // an embedded NUL would end the field anyway
        const std::size_t width = (lead >= 0x81 && lead <= 0xFE) ? 2 : 1;
        if (length + width > limit || length + width > ansi.size())
            break;
        length += width;
    }
    std::memcpy(field, ansi.data(), length);
    return length;
}

} // namespace qs
