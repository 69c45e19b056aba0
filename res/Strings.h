#pragma once

// The string table: every text the program shows in a message, a caption, a status pane or a
// tooltip, byte for byte. UTF-8 here; the Shift-JIS form is what a width limit counts.
namespace Str {

inline constexpr char kCaption[] = "Setbridge";
inline constexpr char kMainTitle[] = "QAV Quillotron 740Q2 セットブリッジ";
inline constexpr char kDriverName[] = "QAV Quillotron 740Q2";
inline constexpr char kDataCheckCommand[] = "データチェック用コマンド";

// Tabs, in index order. The second caption keeps its six trailing spaces.
inline constexpr char kTabParam[] = "パラメータ設定";
inline constexpr char kTabFine[] = "微調設定      ";
inline constexpr char kTabIp[] = "IPアドレス設定";
inline constexpr char kTabIssue[] = "発行制御設定";

// Toolbar tooltips (string ids 2000 to 2006).
inline constexpr char kTipLoad[] = "設定ファイルの読み込み";
inline constexpr char kTipSave[] = "設定ファイルへの書き込み";
inline constexpr char kTipSend[] = "設定値をプリンタへ送信";
inline constexpr char kTipFactory[] = "工場出荷設定を表示";
inline constexpr char kTipSwitchPrinter[] = "プリンタの選択";
inline constexpr char kTipTestPrint[] = "テスト印刷";
inline constexpr char kTipHeadCheck[] = "ヘッド断線チェック";

// Status bar panes; %s is the printer name and the connection.
inline constexpr char kPanePrinter[] = "プリンタ名： %s";
inline constexpr char kPaneConnection[] = "接続先： %s";

// Help.
inline constexpr char kHelpFileName[] = "sbq740.html";
inline constexpr char kHelpNotFound[] = "ヘルプファイルが見つかりません。";

// Settings image, exit sequence, factory settings.
inline constexpr char kAskFactory[] = "現在の設定値は破棄されます、\n工場出荷設定値に変更しますか？";
inline constexpr char kFactoryShown[] = "工場出荷設定値を表示しました。";
inline constexpr char kAskSendBeforeExit[] = "Setbridge を終了する前に、設定値をプリンタへ送信しますか？";
inline constexpr char kAskSaveBeforeExit[] = "Setbridge を終了する前に、設定ファイルへ保存しますか？";
inline constexpr char kAutoSettingsFileName[] = "setting";
// %s is the file's path.
inline constexpr char kAutoSettingsNotStored[] =
    "設定値を保存できませんでした。\n次のファイルに書き込めません。\n\n%s";
// At start-up, when "setting" is there but no settings file; %s is its path. The second text
// follows when the file was kept under another name; %s is that name.
inline constexpr char kAutoSettingsUnreadable[] =
    "前回の設定値を読み込めませんでした。\n次のファイルは壊れているため、工場出荷設定値を表示します。\n\n%s";
inline constexpr char kAutoSettingsKeptAs[] = "\n\n壊れたファイルは次の名前で残しました。\n\n%s";

// Settings files.
inline constexpr char kAskDiscardChanges[] =
    "設定が変更されています。\nコマンドを続行すると設定の変更は破棄されます。";
inline constexpr char kNotASettingsFile[] = "このファイルは設定ファイルではありません。";
inline constexpr char kSettingsWriteFailed[] = "設定ファイルの書き込みに失敗しました。";
inline constexpr char kSettingsFileFilter[] = "SB設定ファイル (*.dat)";
inline constexpr char kSettingsFilePattern[] = "*.dat";
inline constexpr char kSettingsFileExtension[] = "dat";

// Parameter page check.
inline constexpr char kBadForwardStandby[] =
    "設定値が正しくありません。\nパラメータ設定 正転待機位置微調は-5.0～5.0の0.5mmステップで指定してください。";

// Printer selection.
inline constexpr char kNoUsablePrinter[] =
    "使用可能なプリンタがありませんでした。プリンタドライバを確認してからやり直してください。\n\nSetbridgeを終了します。";
inline constexpr char kNoPrinterSelected[] = "プリンタが選択されていません。\nプリンタを選択してください。";
inline constexpr char kFileConnectionOnlyPrinter[] =
    "接続先がFILEのため設定値を送信できません。\nプリンタ設定を確認してやり直してください。\n\nSetbridgeを終了します。";
inline constexpr char kFileConnectionChooseOther[] =
    "接続先がFILEのため設定値を送信できません。\nプリンタ設定を変更するか、他のプリンタに変更してください。";
inline constexpr char kAskSendBeforeSwitch[] =
    "設定値が変更されています。\nプリンタを切り替える前に、設定値をプリンタへ送信しますか？";
inline constexpr char kAskSaveBeforeSwitch[] =
    "設定値が変更されています。\nプリンタを切り替える前に、設定ファイルへ保存しますか？";
inline constexpr char kFileConnection[] = "FILE:";

// Sending, test print and head check.
inline constexpr char kFileConnectionRefused[] = "接続先がFILEのため設定値を送信できません。";
inline constexpr char kAskIpChange[] = "IPアドレスが変更されます。\n設定値を送信してもよろしいですか？";
inline constexpr char kSettingsSent[] = "プリンタに設定値を送信しました。";
inline constexpr char kSettingsDamaged[] =
    "設定値が壊れているため送信できません。\n設定ファイルを確認するか、工場出荷設定を表示してやり直してください。";
inline constexpr char kPrinterUnavailable[] =
    "指定されたプリンタは、現在接続されていないか、プリンタ使用権の制限により使用できません。";
inline constexpr char kSettingsJobName[] = "Setbridge Status Write";
inline constexpr char kAskTestPrint[] = "テスト印刷を行います。\n装置に添付のテスト用ラベルをセットしてください。";
inline constexpr char kTestPrintJobName[] = "testprint";
inline constexpr char kAskHeadCheck[] = "サーマルヘッドの断線チェックを行います。";
inline constexpr char kHeadCheckJobName[] = "Setbridge Check";
inline constexpr char kHeadCheckDone[] =
    "装置のLCDを確認してください。\n何も表示されない場合は正常です。\nエラーが表示された場合はサーマルヘッドを交換する必要があります。";
// A job the spooler holds back when the wait for it ends; %s is the spooler's reason.
inline constexpr char kSettingsWaiting[] =
    "設定値はまだプリンタに届いていません。\nジョブはプリンタの印刷キューで待機しています。\n\n理由： %s";
inline constexpr char kHeadCheckWaiting[] =
    "ヘッド断線チェックのコマンドはまだプリンタに届いていません。\nジョブはプリンタの印刷キューで待機しています。\n\n理由： %s";
// The test print on a queue whose driver does not print pictures.
inline constexpr char kTestPrintNeedsDriver[] =
    "選択されたプリンタのキューは画像を印刷できないため、テスト印刷を行えません。\nテスト用ラベルの印刷には、プリンタメーカーのプリンタドライバが必要です。";

}  // namespace Str
