#include "Drawings.h"

#include "menu/Pictures.h"
#include "res/ResourceIds.h"

namespace Drawings {

namespace {

// Open folder: load a settings file.
constexpr PixelArt::Rows kLoadFile{
    "...........k....",
    "..........klk...",
    ".........klllk..",
    "........klllllk.",
    "........kklllkk.",
    ".........klllk..",
    ".kkkk....klllk..",
    "kyyyyk...klllk..",
    "kyyyyykkkkkkkkk.",
    "kwwwwwwwwwwwwwk.",
    "kyyyyyyyyyyyyyk.",
    "kyyyyyyyyyyyyyk.",
    "kyyyyyyyyyyyyyk.",
    "koooooooooooook.",
    "kkkkkkkkkkkkkkk.",
    "................",
};

// Floppy disk: save a settings file.
constexpr PixelArt::Rows kSaveFile{
    "................",
    ".kkkkkkkkkkkkkk.",
    ".knkwwwwwwwwknk.",
    ".knkwwwwwwwwknk.",
    ".knkwggggggwknk.",
    ".knkwwwwwwwwknk.",
    ".knkwggggggwknk.",
    ".knkwwwwwwwwknk.",
    ".knnkkkkkkkknnk.",
    ".knnnnnnnnnnnnk.",
    ".knnkkkkkkkknnk.",
    ".knnkwwwwknwknk.",
    ".knnkwwwwknwknk.",
    ".knnkwwwwwwwknk.",
    ".kkkkkkkkkkkkkk.",
    "................",
};

// Red arrow into a printer: send the settings to the printer.
constexpr PixelArt::Rows kSendToPrinter{
    "......kkkk......",
    "......krrk......",
    "......krrk......",
    "...kkkkrrkkkk...",
    "....krrrrrrk....",
    ".....krrrrk.....",
    "......krrk......",
    ".......kk.......",
    ".kkkkkkkkkkkkkk.",
    "kwwwwwwwwwwwwwwk",
    "kwwwwwwwwwwwlGwk",
    "kggggggggggggggk",
    "kgkkkkkkkkkkkkgk",
    ".kkkkkkkkkkkkkk.",
    "................",
    "................",
};

// Factory with a saw-tooth roof: show the factory settings.
constexpr PixelArt::Rows kFactory{
    "..kkk...........",
    "..kRk...........",
    "..kRk...........",
    "..kRk..k...k...k",
    "..kRk.kk..kk..kk",
    "..kRkkRk.kRk.kRk",
    "..kRkRRkkRRkkRRk",
    ".kkkkkkkkkkkkkkk",
    ".kRRRRRRRRRRRRRk",
    ".kRccRRccRRccRRk",
    ".kRccRRccRRccRRk",
    ".kRRRRRRRRRRRRRk",
    ".kRRRRRkkkRRRRRk",
    ".kRRRRRkykRRRRRk",
    ".kkkkkkkkkkkkkkk",
    "................",
};

// Green tick above a printer: choose the printer.
constexpr PixelArt::Rows kSelectPrinter{
    ".............GG.",
    "............GG..",
    "...........GG...",
    "..GG......GG....",
    "...GG....GG.....",
    "....GG..GG......",
    ".....GGGG.......",
    "......GG........",
    ".kkkkkkkkkkkkkk.",
    "kwwwwwwwwwwwwwwk",
    "kwwwwwwwwwwwlGwk",
    "kggggggggggggggk",
    "kgkkkkkkkkkkkkgk",
    ".kkkkkkkkkkkkkk.",
    "................",
    "................",
};

// Three sliders: the parameter settings.
constexpr PixelArt::Rows kParameters{
    "...kkk..........",
    "...kbk..........",
    "gggkbkgggggggggg",
    "wwwkbkwwwwwwwwww",
    "...kkk..........",
    "..........kkk...",
    "..........krk...",
    "ggggggggggkrkggg",
    "wwwwwwwwwwkrkwww",
    "..........kkk...",
    "......kkk.......",
    "......kGk.......",
    "ggggggkGkggggggg",
    "wwwwwwkGkwwwwwww",
    "......kkk.......",
    "................",
};

// Cross-hair with four arrows: the fine adjustments of the print position.
constexpr PixelArt::Rows kFineAdjust{
    ".......b........",
    "......bbb.......",
    ".....bbbbb......",
    ".......k........",
    ".....kkkkk......",
    "..bkk..k..kkb...",
    ".bbk...k...kbb..",
    "bbbkkkkrkkkkbbb.",
    ".bbk...k...kbb..",
    "..bkk..k..kkb...",
    ".....kkkkk......",
    ".......k........",
    ".....bbbbb......",
    "......bbb.......",
    ".......b........",
    "................",
};

// Three computers on one cable: the IP address settings.
constexpr PixelArt::Rows kNetwork{
    "................",
    ".....kkkkkk.....",
    ".....kcccck.....",
    ".....kcccck.....",
    ".....kkkkkk.....",
    "......kkkk......",
    ".......nn.......",
    "..nnnnnnnnnnnn..",
    "..n..........n..",
    "..n..........n..",
    "kkkkkk....kkkkkk",
    "kcccck....kcccck",
    "kcccck....kcccck",
    "kkkkkk....kkkkkk",
    ".kkkk......kkkk.",
    "................",
};

// Label roll feeding labels out: the issue control.
constexpr PixelArt::Rows kIssueControl{
    "................",
    "................",
    "............b...",
    "..kkk.......bb..",
    ".kwwwk.bbbbbbbb.",
    "kwwgwwk.....bb..",
    "kwgkgwk.....b...",
    "kwwgwwk.........",
    ".kwwwk..........",
    "..kkkkkkkkkkkkkk",
    "....kwwwwkwwwwkw",
    "....kwkkwkwkkwkw",
    "....kwwwwkwwwwkw",
    "....kkkkkkkkkkkk",
    "................",
    "................",
};

// Printer with a printed test pattern: the test print.
constexpr PixelArt::Rows kTestPrint{
    "...kkkkkkkkkk...",
    "...kwwwwwwwwk...",
    "...kwrrrbbbwk...",
    "...kwwwwwwwwk...",
    "...kwkwkwkwwk...",
    "...kwwwwwwwwk...",
    "...kwkkkkkwwk...",
    "...kwwwwwwwwk...",
    ".kkkkkkkkkkkkkk.",
    "kwwwwwwwwwwwwwwk",
    "kwwwwwwwwwwwlGwk",
    "kggggggggggggggk",
    "kgkkkkkkkkkkkkgk",
    ".kkkkkkkkkkkkkk.",
    "................",
    "................",
};

// Print head with a missing heating dot under a magnifier: the head disconnection check.
constexpr PixelArt::Rows kHeadCheck{
    ".kkkkkkkkkkkkkk.",
    ".kwwwwwwwwwwwwk.",
    ".kggggggggggggk.",
    ".kkkkkkkkkkkkkk.",
    "..r.r.r...r.r.r.",
    "......kkkk......",
    ".....kcccck.....",
    "....kcrccrck....",
    "....kccrrcck....",
    "....kccrrcck....",
    "....kcrccrck....",
    ".....kcccckR....",
    "......kkkk.RR...",
    "............RR..",
    ".............RR.",
    "................",
};

// Blank sheet: the tab picture that no tab uses.
constexpr PixelArt::Rows kBlankSheet{
    "................",
    "...kkkkkkkk.....",
    "...kwwwwwwkk....",
    "...kwwwwwwkwk...",
    "...kwwwwwwkkkk..",
    "...kwwwwwwwwwk..",
    "...kwwwwwwwwwk..",
    "...kwwwwwwwwwk..",
    "...kwwwwwwwwwk..",
    "...kwwwwwwwwwk..",
    "...kwwwwwwwwwk..",
    "...kwwwwwwwwwk..",
    "...kwwwwwwwwwk..",
    "...kkkkkkkkkkk..",
    "................",
    "................",
};

// Label printer issuing a bar-code label: the program.
constexpr PixelArt::Rows kProgramIcon{
    "................",
    "..kkkkkkkkkkkk..",
    ".kbbbbbbbbbbbbk.",
    ".kbccccbbbbbbbk.",
    ".kbbbbbbbbbbbbk.",
    ".knnnnnnnnnnlnk.",
    ".kkkkkkkkkkkkkk.",
    "...kwwwwwwwwk...",
    "...kwkwkkwkwk...",
    "...kwkwkkwkwk...",
    "...kwkwkkwkwk...",
    "...kwkwkkwkwk...",
    "...kwkwkkwkwk...",
    "...kwwwwwwwwk...",
    "...kkkkkkkkkk...",
    "................",
};

Picture menu(int bitmapId, const PixelArt::Rows &rows)
{
    return {Pictures::menuPicture(bitmapId), rows, true};
}

Picture tool(int buttonId, const PixelArt::Rows &rows)
{
    return {Pictures::toolbarPicture(buttonId), rows, false};
}

Picture tab(int index, const PixelArt::Rows &rows)
{
    return {Pictures::tabPicture(index), rows, false};
}

}  // namespace

std::vector<Picture> all()
{
    return {
        menu(160, kLoadFile),
        menu(161, kSaveFile),
        menu(163, kFactory),
        menu(166, kNetwork),
        menu(167, kFineAdjust),
        menu(192, kParameters),
        menu(193, kSelectPrinter),
        menu(194, kSendToPrinter),
        menu(195, kTestPrint),
        menu(197, kHeadCheck),
        menu(208, kIssueControl),
        tool(ResId::kToolLoad, kLoadFile),
        tool(ResId::kToolSave, kSaveFile),
        tool(ResId::kToolSend, kSendToPrinter),
        tool(ResId::kToolFactory, kFactory),
        tool(ResId::kToolSwitchPrinter, kSelectPrinter),
        tool(ResId::kToolTestPrint, kTestPrint),
        tool(ResId::kToolHeadCheck, kHeadCheck),
        // The tab pictures in image-list order: the tabs pick 2, 0, 1 and 4.
        tab(0, kFineAdjust),
        tab(1, kNetwork),
        tab(2, kParameters),
        tab(3, kBlankSheet),
        tab(4, kIssueControl),
        {Pictures::programIcon(), kProgramIcon, false},
    };
}

}  // namespace Drawings
