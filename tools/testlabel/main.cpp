// Draws the test label and writes it as the 24-bit bitmap the test print sends:
//   sbq_testlabel <output.bmp>
#include "Dib24.h"
#include "TestLabelPainter.h"

#include <QGuiApplication>

#include <cstdint>
#include <exception>
#include <fstream>
#include <iostream>
#include <vector>

namespace {

std::vector<std::uint8_t> rgbRows(const QImage &picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    const auto rowBytes = static_cast<std::size_t>(rgb.width()) * 3;
    std::vector<std::uint8_t> rows;
    rows.reserve(rowBytes * static_cast<std::size_t>(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar *line = rgb.constScanLine(y);
        rows.insert(rows.end(), line, line + rowBytes);
    }
    return rows;
}

bool writeFile(const char *path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::cerr << "usage: sbq_testlabel <output.bmp>\n";
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    try {
        const QImage picture = TestLabelPainter::paint();
        const std::vector<std::uint8_t> rows = rgbRows(picture);
        if (!writeFile(argv[1], Dib24::encode(picture.width(), picture.height(), rows))) {
            std::cerr << "sbq_testlabel: cannot write " << argv[1] << '\n';
            return 1;
        }
    } catch (const std::exception &error) {
        std::cerr << "sbq_testlabel: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
