#pragma once

#include "res/ResourceIds.h"
#include "res/Strings.h"

#include <array>

// Menu 142: the menu bar's drop-down menus and their items, in order. An item with id 0 is a
// separator. `bitmap` is the picture shown beside the item, or -1 for none.
namespace MenuTable {

struct Item
{
    const char *text;  // caption with its "&" mnemonic; the accelerator text follows a tab
    int id;
    int bitmap;
};

struct Popup
{
    const char *title;
    const Item *items;
    int count;
};

inline constexpr Item kSeparator{nullptr, 0, -1};

inline constexpr std::array kFileItems{
    Item{"設定ファイルの読み込み(&O)...\tCtrl+O", ResId::kCmdLoadSettings, 160},
    Item{"設定ファイルへの書き込み(&S)...\tCtrl+S", ResId::kCmdSaveSettings, 161},
    kSeparator,
    Item{"設定値をプリンタへ送信(&W)\tCtrl+W", ResId::kCmdSendSettings, 194},
    Item{"工場出荷設定を表示(&I)\tCtrl+I", ResId::kCmdFactorySettings, 163},
    kSeparator,
    Item{"プリンタの選択(&C)...\tCtrl+C", ResId::kCmdSwitchPrinter, 193},
    kSeparator,
    Item{"終了(&X)\tAlt+F4", ResId::kCmdExit, -1},
};

inline constexpr std::array kMenuItems{
    Item{"パラメータ設定(&P)\tCtrl+P", ResId::kCmdShowParamTab, 192},
    Item{"各種微調設定(&K)\tCtrl+K", ResId::kCmdShowFineTab, 167},
    Item{"IPアドレス設定(&A)\tCtrl+A", ResId::kCmdShowIpTab, 166},
    Item{"発行制御設定(&G)\tCtrl+G", ResId::kCmdShowIssueTab, 208},
    kSeparator,
    Item{"テスト印刷(&T)\tCtrl+T", ResId::kCmdTestPrint, 195},
    Item{"ヘッド断線チェック(&H)\tCtrl+H", ResId::kCmdHeadCheck, 197},
};

inline constexpr std::array kHelpItems{
    Item{"ヘルプ目次(&H)\tF1", ResId::kCmdHelpContents, -1},
    kSeparator,
    Item{"バージョン情報(&A)...", ResId::kCmdAbout, -1},
};

inline constexpr std::array kPopups{
    Popup{"ファイル(&F)", kFileItems.data(), static_cast<int>(kFileItems.size())},
    Popup{"メニュー(&M)", kMenuItems.data(), static_cast<int>(kMenuItems.size())},
    Popup{"ヘルプ(&H)", kHelpItems.data(), static_cast<int>(kHelpItems.size())},
};

// Accelerator table 142. Alt+F4 is not in it: it reaches the window as its close command.
struct Accelerator
{
    const char *keys;  // QKeySequence portable text
    int id;
};

inline constexpr std::array kAccelerators{
    Accelerator{"Ctrl+O", ResId::kCmdLoadSettings},   Accelerator{"Ctrl+S", ResId::kCmdSaveSettings},
    Accelerator{"Ctrl+W", ResId::kCmdSendSettings},   Accelerator{"Ctrl+I", ResId::kCmdFactorySettings},
    Accelerator{"Ctrl+C", ResId::kCmdSwitchPrinter},  Accelerator{"Ctrl+P", ResId::kCmdShowParamTab},
    Accelerator{"Ctrl+K", ResId::kCmdShowFineTab},    Accelerator{"Ctrl+A", ResId::kCmdShowIpTab},
    Accelerator{"Ctrl+G", ResId::kCmdShowIssueTab},   Accelerator{"Ctrl+T", ResId::kCmdTestPrint},
    Accelerator{"Ctrl+H", ResId::kCmdHeadCheck},      Accelerator{"F1", ResId::kCmdHelpContents},
};

// Toolbar, left to right; id 0 is a separator. Each button's tooltip is the string of its id.
struct ToolButton
{
    int id;
    int command;  // the command the button runs
    const char *tooltip;
};

inline constexpr ToolButton kToolSeparator{0, 0, nullptr};

inline constexpr std::array kToolbar{
    kToolSeparator,
    ToolButton{ResId::kToolLoad, ResId::kCmdLoadSettings, Str::kTipLoad},
    ToolButton{ResId::kToolSave, ResId::kCmdSaveSettings, Str::kTipSave},
    kToolSeparator,
    ToolButton{ResId::kToolSend, ResId::kCmdSendSettings, Str::kTipSend},
    kToolSeparator,
    ToolButton{ResId::kToolFactory, ResId::kCmdFactorySettings, Str::kTipFactory},
    kToolSeparator,
    ToolButton{ResId::kToolSwitchPrinter, ResId::kCmdSwitchPrinter, Str::kTipSwitchPrinter},
    kToolSeparator,
    ToolButton{ResId::kToolTestPrint, ResId::kCmdTestPrint, Str::kTipTestPrint},
    kToolSeparator,
    ToolButton{ResId::kToolHeadCheck, ResId::kCmdHeadCheck, Str::kTipHeadCheck},
};

}  // namespace MenuTable
