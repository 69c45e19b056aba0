#pragma once

#include <optional>
#include <string>
#include <string_view>

// A field's bytes as a distribution found them, beside the text the page showed for them (both
// CP932). Bytes from 0x80 up are code-page text or stray bytes that no number reader reads back
// as they were: while the field still shows the text it was given, it goes back to the image
// byte for byte. A field of single-byte characters is encoded as usual.
class KeptText
{
public:
    KeptText() = default;
    KeptText(std::string_view imageBytes, std::string_view shown);

    // The bytes to write for a field that now shows `shown`, or nothing when the field is to be
    // encoded from its text.
    std::optional<std::string> bytesFor(std::string_view shown) const;

private:
    std::optional<std::string> m_bytes;  // only when they hold a byte from 0x80 up
    std::string m_shown;
};
