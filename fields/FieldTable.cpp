#include "fields/FieldTable.h"

#include "fields/ChoiceCodec.h"
#include "fields/DecimalCodecs.h"
#include "fields/NetworkCodecs.h"
#include "settings/ImageLayout.h"

#include <algorithm>
#include <stdexcept>

namespace Fields {
namespace {

using ImageLayout::kFineRecord;

// The edit rule of the fine-adjustment page: nine characters read, the length rule settles it,
// tenths below 0.1 become "0.0".
constexpr DecimalRule fineRule(std::size_t longestText, std::string_view upperText, std::string_view lowerText)
{
    return {9, longestText, lowerText, upperText, 0.1, true};
}

// The codecs of the fields, one per way of holding a value.
struct Codecs
{
    // A code no button carries selects none and goes back as read.
    ChoiceCodec buttons{std::nullopt, std::nullopt};
    // Cut speed: anything but "0" is high speed.
    ChoiceCodec cutSpeed{1, std::nullopt};
    // A direction list: anything but "+" is its second item; no item writes "-".
    ChoiceCodec direction{1, '-'};
    // A list with the driver's choice first: an unknown code shows it, no item writes "C".
    ChoiceCodec driverList{0, 'C'};
    // The status auto-response: anything but "0" shows "あり", no item writes "1".
    ChoiceCodec statusReply{0, '1'};

    AdjustmentCodec adjustment{DecimalRule{6, 4, "-5.0", "5.0", 0.5, false}};
    TenthsCodec feed{fineRule(5, "50.0", "0.0"), TenthsCodec::Shown::Formatted};
    TenthsCodec backFeed{fineRule(4, "9.5", "0.0"), TenthsCodec::Shown::Formatted};
    TenthsCodec xCoordinate{fineRule(5, "99.5", "0.0"), TenthsCodec::Shown::Formatted};
    StepsCodec density{fineRule(3, "10", "-10"), StepsCodec::Sign::Follows};
    StepsCodec ribbon{fineRule(3, "00", "-15"), StepsCodec::Sign::AlwaysMinus};
    TenthsCodec threshold{fineRule(3, "4.0", "0.0"), TenthsCodec::Shown::AsTheyStand};

    AddressCodec address;
    PortCodec port;
    ClientIdCodec clientId;
};

Field radioGroup(std::string_view key, PageId page, std::string_view caption, std::size_t offset,
                 std::vector<Choice> choices, const FieldCodec &codec)
{
    const int firstButton = choices.front().buttonId;
    return {key, page, caption, {}, {"radio", firstButton}, Kind::Choice, {{offset, 1}}, {}, std::move(choices),
            std::nullopt, &codec};
}

Field list(std::string_view key, PageId page, std::string_view label, int comboId, std::size_t offset,
           std::vector<Choice> items, const FieldCodec &codec)
{
    return {key, page, label, {}, {"combo", comboId}, Kind::Choice, {{offset, 1}}, {}, std::move(items),
            std::nullopt, &codec};
}

Field number(std::string_view key, std::string_view label, int editId, ImageSpan owned, Number description,
             const FieldCodec &codec, PageId page = PageId::Fine)
{
    return {key, page, label, {}, {"edit", editId}, Kind::Number, {owned}, {}, {}, description, &codec};
}

Field address(std::string_view key, std::string_view label, int fieldId, std::size_t record, const FieldCodec &codec)
{
    return {key, PageId::Ip, label, {}, {"ip", fieldId}, Kind::Address,
            {{record + 6, 3}, {record + 10, 3}, {record + 14, 3}, {record + 18, 3}}, {}, {}, std::nullopt, &codec};
}

// A direction list and the millimetre value it gives its direction; the row's label names the list.
void addDirectedRow(std::vector<Field> &fields, std::string_view directionKey, std::string_view key,
                    std::string_view label, int listId, std::size_t signPosition, std::vector<Choice> items,
                    int editId, std::size_t digits, Spin spin, const Codecs &codecs, const FieldCodec &codec)
{
    fields.push_back(list(directionKey, PageId::Fine, label, listId, kFineRecord + signPosition, std::move(items),
                          codecs.direction));
    fields.push_back(number(key, label, editId, {kFineRecord + signPosition + 1, digits}, {"mm", spin, directionKey},
                            codec));
}

std::vector<Choice> rearForward()
{
    return {{"rearward", "後方", '+'}, {"forward", "前方", '-'}};
}

std::vector<Choice> offOn(int offButton, std::string_view off, int onButton, std::string_view on)
{
    return {{"off", off, '0', offButton}, {"on", on, '1', onButton}};
}

void addParameterPage(std::vector<Field> &fields, const Codecs &codecs)
{
    constexpr PageId page = PageId::Param;
    const auto group = [&](std::string_view key, std::string_view caption, std::size_t position,
                           std::vector<Choice> choices) {
        fields.push_back(radioGroup(key, page, caption, position, std::move(choices), codecs.buttons));
    };
    group("param.auto_forward_standby", "自動正転待機切り換え", 14, offOn(1049, "なし(&Y)", 1013, "あり(&N)"));
    fields.push_back(number("param.forward_standby_adjustment", "正転待機位置微調(&T)", 1242, {15, 3},
                            {"mm", {{"spin", 1245}, -10, 10, 0.5, false}, {}}, codecs.adjustment, page));
    group("param.feed_key", "[FEED]キー機能", 28, {{"feed", "フィード(&O)", '0', 1067}, {"print", "プリント(&L)", '1', 1019}});
    group("param.power_on_head_check", "電源投入時の自動断線チェック", 32, offOn(1069, "なし(&D)", 1021, "あり(&G)"));
    group("param.centronics_timing", "セントロニクスタイミング", 33,
          {{"type1", "TYPE1(&1)", '0', 1070}, {"type2", "TYPE2(&2)", '1', 1025}});
    group("param.ninit_reset", "ｎInit信号ON時のリセット処理", 35, offOn(1017, "なし(&Q)", 1237, "あり(&R)"));
    group("param.ribbon_near_end", "リボンニアエンド検出", 36,
          {{"no_detection", "リボンエンド検出なし(&0)", '0', 1024},
           {"near_end_30m", "残り30mでリボンニアエンド(&3)", '1', 1235},
           {"near_end_70m", "残り70mでリボンニアエンド(&7)", '2', 1236}});
    group("param.plug_and_play", "プラグ＆プレイ動作", 39, offOn(1014, "なし(&K)", 1015, "あり(&P)"));
    group("param.label_end_handling", "ラベルエンド／リボンエラー処理", 40,
          {{"stop_mid_print", "印刷途中で停止(&Z)", '0', 1018}, {"stop_after_label", "極力印刷終了後に停止(&X)", '1', 1023}});
    group("param.pre_peel", "プレハクリ処理", 41, offOn(1020, "なし(&C)", 1022, "あり(&V)"));
    group("param.back_feed_speed", "バックフィード速度", 42, {{"3ips", "3ips(&B)", '0', 1009}, {"2ips", "2ips(&J)", '1', 1026}});
    fields.push_back(radioGroup("param.cut_speed", page, "カット速度", 46,
                                {{"standard", "標準モード(&4)", '0', 1071}, {"high_speed", "高速モード(&5)", 'F', 1027}},
                                codecs.cutSpeed));
}

void addFinePage(std::vector<Field> &fields, const Codecs &codecs)
{
    const auto tenths = [](int id, int upper) { return Spin{{"spin", id}, 0, upper, 0.1, false}; };
    const auto steps = [](int id, int lower, int upper) { return Spin{{"spin", id}, lower, upper, 1.0, true}; };

    addDirectedRow(fields, "fine.feed_direction", "fine.feed", "フィード量微調(&N)", 1074, 6, rearForward(), 1243, 3,
                   tenths(1244, 500), codecs, codecs.feed);
    addDirectedRow(fields, "fine.cut_position_direction", "fine.cut_position", "カット（ハクリ）位置微調(&C)", 1075, 10,
                   rearForward(), 1062, 3, tenths(1056, 500), codecs, codecs.feed);
    addDirectedRow(fields, "fine.back_feed_direction", "fine.back_feed", "バックフィード量微調(&B)", 1076, 14,
                   rearForward(), 1063, 2, tenths(1057, 95), codecs, codecs.backFeed);
    addDirectedRow(fields, "fine.x_direction", "fine.x_coordinate", "X座標微調(&X)", 1078, 17,
                   {{"right", "右側", '+'}, {"left", "左側", '-'}}, 1064, 3, tenths(1058, 995), codecs,
                   codecs.xCoordinate);

    const auto row = [&](std::string_view key, std::string_view label, int editId, std::size_t position,
                         std::size_t length, std::string_view unit, Spin spin, const FieldCodec &codec) {
        fields.push_back(number(key, label, editId, {kFineRecord + position, length}, {unit, spin, {}}, codec));
    };
    row("fine.transfer_density", "印刷濃度微調(転写モード)(&1)", 1065, 21, 3, "ステップ", steps(1059, -10, 10),
        codecs.density);
    row("fine.direct_thermal_density", "印刷濃度微調(発色モード)(&2)", 1073, 24, 3, "ステップ", steps(1061, -10, 10),
        codecs.density);
    row("fine.ribbon_take_up_voltage", "リボン巻取りモータ電圧微調(&R)", 1066, 27, 3, "ステップ", steps(1060, -15, 0),
        codecs.ribbon);
    row("fine.ribbon_back_tension_voltage", "リボンバックテンションモータ電圧微調(&V)", 1067, 30, 3, "ステップ",
        steps(1068, -15, 0), codecs.ribbon);
    row("fine.reflective_threshold", "反射センサー手動スレッショルド(&E)", 1069, 33, 2, "V", tenths(1070, 40),
        codecs.threshold);
    row("fine.transmissive_threshold", "透過センサー手動スレッショルド(&P)", 1071, 35, 2, "V", tenths(1072, 40),
        codecs.threshold);
}

void addIpPage(std::vector<Field> &fields, const Codecs &codecs)
{
    constexpr PageId page = PageId::Ip;
    constexpr std::string_view kClientIdGroup = "DHCPクライアントID";
    fields.push_back(address("ip.address", "IPアドレス(&I)", 1256, ImageLayout::kIpRecord, codecs.address));
    fields.push_back(address("ip.gateway", "ゲートウェイ(&G)", 1259, ImageLayout::kGatewayRecord, codecs.address));
    fields.push_back(address("ip.subnet_mask", "サブネットマスク(&S)", 1258, ImageLayout::kSubnetRecord, codecs.address));
    fields.push_back(radioGroup("ip.socket", page, "ソケット通信ポート設定", ImageLayout::kPortRecord + 4,
                                {{"disabled", "通信無効(&N)", '0', 1263}, {"enabled", "通信有効(&Y)", '1', 1018}},
                                codecs.buttons));
    fields.push_back({"ip.port", page, "ポート番号(&P)", {}, {"edit", 1262}, Kind::Port,
                      {{ImageLayout::kPortRecord + 6, 5}}, {}, {}, std::nullopt, &codecs.port});
    fields.push_back(radioGroup("ip.dhcp", page, "DHCP機能設定", ImageLayout::kClientIdRecord + 4,
                                {{"disabled", "DHCP機能無効(&E)", '0', 1264}, {"enabled", "DHCP機能有効(&D)", '1', 1019}},
                                codecs.buttons));
    Field inputType = radioGroup("ip.client_id_input_type", page, "入力タイプ(&T)", ImageLayout::kInputTypeByte,
                                 {{"ascii", "ASCII(&A)", '0', 1274}, {"hex", "HEX(&X)", '1', 1266}}, codecs.buttons);
    inputType.groupTitle = kClientIdGroup;
    fields.push_back(std::move(inputType));
    fields.push_back({"ip.client_id", page, "クライアントID(&C)", kClientIdGroup, {"edit", 1265}, Kind::Text,
                      {{ImageLayout::kClientIdRecord + 6, 32}}, {{ImageLayout::kInputTypeByte, 1}}, {}, std::nullopt,
                      &codecs.clientId});
}

void addIssuePage(std::vector<Field> &fields, const Codecs &codecs)
{
    constexpr PageId page = PageId::Issue;
    constexpr std::size_t kRecord = ImageLayout::kIssueRecord;
    const Choice driver{"driver", "ドライバ設定優先", 'C'};
    fields.push_back(radioGroup("issue.stop_mode", page, "停止位置制御", kRecord + 6,
                                {{"mode1", "モード1(&1)", '0', 1290}, {"mode2", "モード2(&2)", '1', 1237}},
                                codecs.buttons));
    fields.push_back(list("issue.sensor", page, "センサー(&S)", 1284, kRecord + 8,
                          {driver,
                           {"none", "センサーなし", '0'},
                           {"reflective", "反射センサー", '1'},
                           {"transmissive", "透過センサー", '2'},
                           {"transmissive_manual", "透過センサー(手動スレッショルド使用時)", '3'},
                           {"reflective_manual", "反射センサー(手動スレッショルド使用時)", '4'}},
                          codecs.driverList));
    fields.push_back(list("issue.print_method", page, "印刷方法(&D)", 1286, kRecord + 10,
                          {driver, {"direct_thermal", "直接感熱", '0'}, {"thermal_transfer", "熱転写", '1'}},
                          codecs.driverList));
    fields.push_back(list("issue.print_speed", page, "印刷速度(&Q)", 1287, kRecord + 12,
                          {driver, {"2ips", "50.8mm/秒", '2'}, {"4ips", "101.6mm/秒", '4'}, {"6ips", "152.4mm/秒", '6'}},
                          codecs.driverList));
    fields.push_back(list("issue.cut", page, "カット(&C)", 1291, kRecord + 14,
                          {driver, {"off", "なし", '0'}, {"on", "あり", '1'}}, codecs.driverList));
    fields.push_back(list("issue.tag_rotation", page, "タグローテーション(&T)", 1288, kRecord + 16,
                          {driver,
                           {"rotated_180", "180°回転印刷", '0'},
                           {"normal", "通常印刷", '1'},
                           {"rotated_180_mirrored", "180°回転 + ミラー印刷", '2'},
                           {"normal_mirrored", "通常 + ミラー印刷", '3'}},
                          codecs.driverList));
    fields.push_back(list("issue.status_reply", page, "ステータス自動応答(&R)", 1296, kRecord + 18,
                          {{"on", "あり", '1'}, {"off", "なし", '0'}}, codecs.statusReply));
}

std::vector<Field> build(const Codecs &codecs)
{
    std::vector<Field> fields;
    addParameterPage(fields, codecs);
    addFinePage(fields, codecs);
    addIpPage(fields, codecs);
    addIssuePage(fields, codecs);
    return fields;
}

}  // namespace

const std::vector<Field> &all()
{
    static const Codecs codecs;
    static const std::vector<Field> fields = build(codecs);
    return fields;
}

std::vector<const Field *> ofPage(PageId page)
{
    std::vector<const Field *> fields;
    for (const Field &field : all()) {
        if (field.page == page)
            fields.push_back(&field);
    }
    return fields;
}

const Field *find(std::string_view key)
{
    const std::vector<Field> &fields = all();
    const auto found = std::ranges::find(fields, key, &Field::key);
    return found != fields.end() ? &*found : nullptr;
}

const Field &named(std::string_view key)
{
    const Field *field = find(key);
    if (!field)
        throw std::logic_error("no field " + std::string(key));
    return *field;
}

const Field *directionOf(const Field &field)
{
    if (!field.number || field.number->directionKey.empty())
        return nullptr;
    return &named(field.number->directionKey);
}

void storeUnedited(const SettingsImage &loaded, SettingsImage &image)
{
    for (const Field &field : all()) {
        const FieldValue shown = field.shownAfterLoad(loaded);
        const Loaded kept = field.load(loaded, shown);
        field.encode(shown, image, &kept);
    }
}

std::string_view pageKey(PageId page)
{
    switch (page) {
    case PageId::Param: return "param";
    case PageId::Fine: return "fine";
    case PageId::Ip: return "ip";
    case PageId::Issue: return "issue";
    }
    return {};
}

}  // namespace Fields
