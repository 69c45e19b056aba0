#pragma once

#include <QColor>
#include <QImage>

// The program icon at desktop sizes (48, 256): the small icon's label printer issuing a bar-code
// label, drawn smooth instead of pixel by pixel.
namespace ProgramIcon {

// `background` fills the square first; Qt::transparent gives a desktop icon.
QImage draw(int size, const QColor &background);

}  // namespace ProgramIcon
