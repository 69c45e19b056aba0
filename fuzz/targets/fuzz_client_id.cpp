// The client-ID conversions on any bytes: field to box text and back in both modes, the mode
// switches, and code page 932 to UTF-8 and back.
#include "FuzzSupport.h"
#include "fields/ClientIdText.h"
#include "fields/FieldTable.h"

#include <algorithm>
#include <string>

using namespace FuzzSupport;

namespace {

bool within(std::string_view bytes, int lowest, int highest)
{
    return std::all_of(bytes.begin(), bytes.end(), [&](char c) {
        const int value = static_cast<unsigned char>(c);
        return value >= lowest && value <= highest;
    });
}

// Well-formed UTF-8: right lead and continuation bytes, no overlong forms, surrogates or values
// beyond U+10FFFF.
bool isUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t value = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) { length = 2; value = lead & 0x1F; }
        else if (lead >= 0xE0 && lead <= 0xEF) { length = 3; value = lead & 0x0F; }
        else if (lead >= 0xF0 && lead <= 0xF4) { length = 4; value = lead & 0x07; }
        else return false;
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (next & 0x3F);
        }
        const char32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

void checkLoadedField(std::string_view bytes)
{
    const std::string field(bytes.substr(0, ClientIdText::kFieldWidth));
    for (const bool hex : {false, true}) {
        const std::string shown = ClientIdText::shownFromField(field, hex);
        if (hex)
            require(shown.size() == field.size(), "the HEX view changed the field's length");
        else
            require(shown.size() <= 16 && within(shown, 0x21, 0xDF), "the ASCII view holds a byte outside 0x21-0xDF");
        const std::string shownUtf8 = Cp932::ToShown(shown);
        require(isUtf8(shownUtf8), "the box text is not UTF-8");
        if (field.size() != ClientIdText::kFieldWidth)
            continue;
        const Fields::Field &clientId = Fields::named("ip.client_id");
        SettingsImage image = SettingsImage::factory();
        image[ImageLayout::kInputTypeByte] = hex ? '1' : '0';
        clientId.putOwnedBytes(field, image);
        const Fields::Loaded loaded = clientId.load(image, {std::nullopt, shownUtf8});
        SettingsImage stored = image;
        clientId.putOwnedBytes(std::string(ClientIdText::kFieldWidth, '?'), stored);
        clientId.encode({std::nullopt, shownUtf8}, stored, &loaded);
        require(stored == image, "an unedited box did not store the field it was loaded from");
    }
}

void checkBoxText(std::string_view bytes)
{
    for (const bool hex : {false, true})
        require(ClientIdText::fieldFromBox(bytes, hex).size() == ClientIdText::kFieldWidth,
                "a box text stored as other than 32 characters");

    const std::string hexText = ClientIdText::hexFromAsciiBox(bytes);
    require(ClientIdText::isHexDigits(hexText) && hexText.size() % 2 == 0, "HEX conversion gave non-digits");
    const std::string ascii = ClientIdText::asciiFromHexBox(bytes);
    require(within(ascii, 0x20, 0x7E) && ascii.size() <= 16, "ASCII conversion gave a byte outside 0x20-0x7E");

    // ASCII -> HEX -> ASCII keeps the printable bytes of a short text.
    if (bytes.size() <= ClientIdText::kAsciiBoxBytes) {
        std::string printable;
        std::copy_if(bytes.begin(), bytes.end(), std::back_inserter(printable),
                     [](char c) { return c >= 0x20 && c <= 0x7E; });
        require(ClientIdText::asciiFromHexBox(hexText) == printable, "ASCII -> HEX -> ASCII lost a printable byte");
    }

    const std::string utf8 = Cp932::ToUtf8(bytes);
    require(isUtf8(utf8), "code page 932 text converted to ill-formed UTF-8");
    if (const auto strict = Cp932::FromUtf8(utf8))
        require(*strict == Cp932::FromUtf8Lossy(utf8), "the lossy conversion differs where nothing is lost");
    if (Cp932::FromUtf8(bytes))
        require(isUtf8(bytes), "the strict conversion accepted ill-formed UTF-8");

    // Every character shown comes back as bytes that show that character, though not always as
    // the bytes it was shown from: CP932 writes some characters two ways (the NEC and IBM rows),
    // U+00F7 stands for a stray 0xF7 as well as for 81 80, and the new bytes can join with a
    // stray lead byte before them. Pages keep unedited fields as read for that.
    const std::string shown = Cp932::ToShown(bytes);
    require(isUtf8(shown), "the bytes were shown as ill-formed UTF-8");
    require(Cp932::FromShown(shown).has_value(), "shown bytes have no way back");
    for (std::size_t i = 0; i < shown.size();) {
        const auto lead = static_cast<unsigned char>(shown[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::string character = shown.substr(i, length);
        const auto back = Cp932::FromShown(character);
        require(back && Cp932::ToShown(*back) == character, "a shown character came back as another");
        i += length;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes = textOf(data, size);
    checkLoadedField(bytes);
    checkBoxText(bytes);
    return 0;
}
