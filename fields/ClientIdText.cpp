#include "fields/ClientIdText.h"

#include "text/Hex.h"

namespace ClientIdText {
namespace {

constexpr char kFill = 'F';
constexpr std::size_t kHexBoxTaken = 64;  // characters of a HEX box the store looks at

// A digit pair read as a hex number; a lone digit or a non-digit gives a value below 0x10 or -1,
// which no caller's range accepts.
int pairValue(std::string_view pair)
{
    const int high = Hex::DigitValue(pair[0]);
    if (high < 0 || pair.size() < 2)
        return high;
    const int low = Hex::DigitValue(pair[1]);
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

std::string hexFromBytes(std::string_view bytes, Hex::Case letters)
{
    std::string hex;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        hex += Hex::Digits(byte, 2, letters);
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
    return filledField(hexFromBytes(boxBytes, Hex::Case::Lower));
}

std::string asciiFromHexBox(std::string_view boxBytes)
{
    return bytesFromPairs(upperCased(boxBytes.substr(0, kHexBoxDigits)), 0x20, 0x7E);
}

std::string hexFromAsciiBox(std::string_view boxBytes)
{
    return hexFromBytes(boxBytes.substr(0, kHexBoxDigits), Hex::Case::Upper);
}

bool isHexDigits(std::string_view text)
{
    for (char c : text) {
        if (Hex::DigitValue(c) < 0)
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
