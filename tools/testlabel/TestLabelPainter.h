#pragma once

#include <QImage>

// Draws the test label, black on white, 1244 x 707 pixels: the heading 印刷試験 above a frame
// holding a Code 39 bar code with its text *ABCDEF*, the word ゴシック in large type, a Code 128
// bar code over the digits 12345678901234567890, and a QR code at the right. Text is drawn
// without smoothing so that every pixel is black or white. Throws std::runtime_error when the
// IPAPGothic font is missing.
namespace TestLabelPainter {

inline constexpr int kWidth = 1244;
inline constexpr int kHeight = 707;
inline constexpr char kQrText[] = "QAV Quillotron 740Q2 TEST";

QImage paint();

}  // namespace TestLabelPainter
