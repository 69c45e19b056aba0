#include "fields/ClientIdText.h"


namespace ClientIdText {
namespace {

constexpr char kFill = 'F';
constexpr std::size_t kHexBoxTaken = 64;  // characters of a HEX box the store looks at

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A digit pair read as a hex number; a lone digit or a non-digit gives a value below 0x10 or -1,
// which no caller's range accepts.
int pairValue(std::string_view pair)
{
    const int high = hexDigitValue(pair[0]);
    if (high < 0 || pair.size() < 2)
        return high;
    const int low = hexDigitValue(pair[1]);
    return low < 0 ? high : high * 16 + low;
}

// One byte per digit pair whose value lies in [lowest, highest].
std::string bytesFromPairs(std::string_view digits, int lowest, int highest)
{
    std::string bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const int value = pairValue(digits.substr(i, 2));
        if (value >= lowest && value <= highest)
            bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

std::string hexFromBytes(std::string_view bytes, const char *digits)
{
    std::string hex;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        hex.push_back(digits[byte >> 4]);
        hex.push_back(digits[byte & 0x0F]);
    }
    return hex;
}

std::string upperCased(std::string_view text)
{
    std::string upper(text);
    for (char &c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

std::string filledField(std::string text)
{
    text.resize(kFieldWidth, kFill);
    return text;
}

}  // namespace

std::string shownFromField(std::string_view field, bool hex)
{
    const std::string digits = upperCased(field.substr(0, kFieldWidth));
    if (hex)
        return digits;
    return bytesFromPairs(digits, 0x21, 0xDF);
}

std::string fieldFromBox(std::string_view boxBytes, bool hex)
{
    if (hex)
        return filledField(std::string(boxBytes.substr(0, kHexBoxTaken)));
    return filledField(hexFromBytes(boxBytes, "0123456789abcdef"));
}

std::string asciiFromHexBox(std::string_view boxBytes)
{
    return bytesFromPairs(upperCased(boxBytes.substr(0, kHexBoxDigits)), 0x20, 0x7E);
}

std::string hexFromAsciiBox(std::string_view boxBytes)
{
    return hexFromBytes(boxBytes.substr(0, kHexBoxDigits), "0123456789ABCDEF");
}

bool isHexDigits(std::string_view text)
{
    for (char c : text) {
        if (hexDigitValue(c) < 0)
            return false;
    }
    return true;
}

}  // namespace ClientIdText

namespace ClientIdTextMode {
namespace {

bool g_holdsHex = false;  // the box holds ASCII text until a page shows HEX text

}  // namespace

bool holdsHex()
{
    return g_holdsHex;
}

void setHoldsHex(bool holdsHex)
{
    g_holdsHex = holdsHex;
}

}  // namespace ClientIdTextMode
