#pragma once

// Resource ids of the program: menu, commands, toolbar buttons, dialogs, controls and pictures.
namespace ResId {

// Menu and accelerator table.
inline constexpr int kMainMenu = 142;

// Commands (menu items and accelerators).
inline constexpr int kCmdLoadSettings = 32781;
inline constexpr int kCmdSaveSettings = 32782;
inline constexpr int kCmdExit = 32783;
inline constexpr int kCmdSendSettings = 32784;
inline constexpr int kCmdFactorySettings = 32785;
inline constexpr int kCmdSwitchPrinter = 32798;
inline constexpr int kCmdShowParamTab = 32801;
inline constexpr int kCmdDataCheck = 32805;
inline constexpr int kCmdHelpContents = 32806;
inline constexpr int kCmdShowFineTab = 32816;
inline constexpr int kCmdShowIpTab = 32817;
inline constexpr int kCmdTestPrint = 32818;
inline constexpr int kCmdHeadCheck = 32819;
inline constexpr int kCmdShowIssueTab = 32820;
inline constexpr int kCmdAbout = 16;

// Toolbar buttons; each button's tooltip is the string-table entry of the same id.
inline constexpr int kToolLoad = 2000;
inline constexpr int kToolSave = 2001;
inline constexpr int kToolSend = 2002;
inline constexpr int kToolFactory = 2003;
inline constexpr int kToolSwitchPrinter = 2004;
inline constexpr int kToolTestPrint = 2005;
inline constexpr int kToolHeadCheck = 2006;

// Main window parts.
inline constexpr int kStatusBar = 2015;
inline constexpr int kToolBar = 2016;
inline constexpr int kTabControl = 1000;

// Dialogs and pages.
inline constexpr int kDlgAbout = 100;
inline constexpr int kDlgMain = 102;
inline constexpr int kPageFine = 130;
inline constexpr int kPageIp = 132;
inline constexpr int kPageParam = 134;
inline constexpr int kDlgPrinterSelect = 152;
inline constexpr int kDlgSendSelect = 189;
inline constexpr int kPageIssue = 204;

// Pictures.
inline constexpr int kIconProgram = 198;
inline constexpr int kBitmapTestLabel = 191;

}  // namespace ResId
