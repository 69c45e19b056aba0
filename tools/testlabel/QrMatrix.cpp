#include "QrMatrix.h"

#include <memory>
#include <stdexcept>
#include <string>

#include <qrencode.h>

QrMatrix QrMatrix::encode(std::string_view text)
{
    const std::string data(text);
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString8bit(data.c_str(), 0, QR_ECLEVEL_M), &QRcode_free);
    if (!code)
        throw std::runtime_error("the QR encoder failed");

    const int size = code->width;
    std::vector<bool> dark(static_cast<std::size_t>(size * size));
    for (std::size_t i = 0; i < dark.size(); ++i)
        dark[i] = (code->data[i] & 1) != 0;  // bit 0 marks a dark module
    return QrMatrix(size, std::move(dark));
}
