#pragma once

#include "PixelArt.h"

#include <QString>

#include <vector>

// The drawings of the menu, toolbar and tab pictures and the small program icon.
namespace Drawings {

struct Picture
{
    QString name;      // file name without ".png", as Pictures:: names it
    PixelArt::Rows rows;
    bool shownInMenu;  // menu pictures are shown 16 x 15, so their bottom row stays empty
};

// Every 16 x 16 picture of the program.
std::vector<Picture> all();

}  // namespace Drawings
