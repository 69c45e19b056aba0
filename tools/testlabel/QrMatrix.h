#pragma once

#include <string_view>
#include <vector>

// A QR code as its square of modules, without the quiet zone.
class QrMatrix
{
public:
    // Encodes `text` as 8-bit data at error-correction level M, in the smallest version that
    // holds it. Throws std::runtime_error when the encoder fails.
    static QrMatrix encode(std::string_view text);

    int size() const { return m_size; }
    bool isDark(int x, int y) const { return m_dark.at(static_cast<std::size_t>(y * m_size + x)); }

private:
    QrMatrix(int size, std::vector<bool> dark) : m_size(size), m_dark(std::move(dark)) {}

    int m_size;
    std::vector<bool> m_dark;
};
