#include "text/Cp932.h"

#include "text/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <functional>
#include <iconv.h>
#include <utility>

namespace Cp932 {
namespace {

constexpr const char *kCodePage = "CP932";
constexpr const char *kUtf8 = "UTF-8";
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD
constexpr char32_t kNoCharacter = 0x110000;  // beyond every code point

// What to do where iconv stops at `rest`: how many input bytes to drop and what to write instead;
// nothing gives the whole conversion up.
using Fallback = std::function<std::optional<std::pair<std::size_t, std::string>>(std::string_view rest)>;

// One iconv conversion descriptor, closed on scope exit.
class Converter
{
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (isOpen())
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    std::optional<std::string> convert(std::string_view input, const Fallback &fallback) const
    {
        if (!isOpen())
            return std::nullopt;
        std::string in(input);
        std::string out;
        char *inPtr = in.data();
        std::size_t inLeft = in.size();
        char buffer[256];
        while (inLeft > 0) {
            char *outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (result != static_cast<std::size_t>(-1) || errno == E2BIG)
                continue;
            const auto instead = fallback(std::string_view(inPtr, inLeft));
            if (!instead)
                return std::nullopt;
            const std::size_t skipped = std::clamp<std::size_t>(instead->first, 1, inLeft);
            inPtr += skipped;
            inLeft -= skipped;
            out += instead->second;
        }
        return out;
    }

private:
    bool isOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    iconv_t m_cd;
};

// The UTF-8 character that starts `text`, with its length; a byte that starts no well-formed
// sequence is a character of no code point and length 1, which iconv then refuses by itself.
Utf8::Decoded firstCharacter(std::string_view text)
{
    const Utf8::Decoded character = Utf8::DecodeAt(text, 0);
    return character.length == 0 ? Utf8::Decoded{kNoCharacter, 1} : character;
}

// U+0000-U+00FF: the character whose number is `byte`, in UTF-8.
std::string characterOfByte(unsigned char byte)
{
    return Utf8::Encoded(byte);
}

// The characters ToShown gives bytes that start no CP932 character by themselves (0x80-0xA0,
// 0xE0-0xFF); each stands for its own byte on the way back, even U+00F7, which CP932 also writes
// as 81 80: a stray byte then keeps its length of one in the pages' length rules.
bool standsForOwnByte(char32_t codePoint)
{
    return (codePoint >= 0x80 && codePoint <= 0xA0) || (codePoint >= 0xE0 && codePoint <= 0xFF);
}

// UTF-8 -> CP932 with the characters of standsForOwnByte as their bytes. A character with no
// byte at all becomes `other`, or gives the conversion up when there is none.
std::optional<std::string> fromShown(std::string_view utf8, const std::optional<std::string> &other)
{
    const Converter converter(kCodePage, kUtf8);
    const Fallback noByte = [&other](std::string_view rest) -> std::optional<std::pair<std::size_t, std::string>> {
        if (!other)
            return std::nullopt;
        return std::pair{firstCharacter(rest).length, *other};
    };
    std::string out;
    std::size_t runStart = 0;
    const auto convertRun = [&](std::size_t end) {
        if (end == runStart)
            return true;
        const auto part = converter.convert(utf8.substr(runStart, end - runStart), noByte);
        if (part)
            out += *part;
        return part.has_value();
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const auto [codePoint, length] = firstCharacter(utf8.substr(i));
        if (standsForOwnByte(codePoint)) {
            if (!convertRun(i))
                return std::nullopt;
            out += static_cast<char>(codePoint);
            runStart = i + length;
        }
        i += length;
    }
    if (!convertRun(utf8.size()))
        return std::nullopt;
    return out;
}

}  // namespace

std::optional<std::string> FromUtf8(std::string_view utf8)
{
    return Converter(kCodePage, kUtf8).convert(utf8, [](std::string_view) { return std::nullopt; });
}

std::string FromUtf8Lossy(std::string_view utf8)
{
    const Fallback question = [](std::string_view rest) {
        return std::optional{std::pair{firstCharacter(rest).length, std::string("?")}};
    };
    return Converter(kCodePage, kUtf8).convert(utf8, question).value_or("");
}

std::string ToUtf8(std::string_view cp932)
{
    const Fallback replacement = [](std::string_view) {
        return std::optional{std::pair{std::size_t{1}, std::string(kReplacementCharacter)}};
    };
    return Converter(kUtf8, kCodePage).convert(cp932, replacement).value_or("");
}

std::string ToShown(std::string_view cp932)
{
    const Fallback ownCharacter = [](std::string_view rest) {
        return std::optional{std::pair{std::size_t{1}, characterOfByte(static_cast<unsigned char>(rest[0]))}};
    };
    return Converter(kUtf8, kCodePage).convert(cp932, ownCharacter).value_or("");
}

std::optional<std::string> FromShown(std::string_view utf8)
{
    return fromShown(utf8, std::nullopt);
}

std::string FromShownLossy(std::string_view utf8)
{
    return fromShown(utf8, std::string("?")).value_or("");
}

std::size_t ShownLength(std::string_view utf8)
{
    return FromShownLossy(utf8).size();
}

}  // namespace Cp932
