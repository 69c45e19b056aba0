#include "ShownSettings.h"

#include "ClientIdText.h"
#include "FineRecord.h"
#include "IpFields.h"
#include "IpRecords.h"
#include "IssueFields.h"
#include "ParamFields.h"
#include "Strings.h"

#include <string_view>

namespace ShownSettings {
namespace {

using FieldCaptions::withoutMnemonic;

// The tab caption without the blanks some captions carry for their width.
std::string tabTitle(std::string_view caption)
{
    const std::size_t end = caption.find_last_not_of(' ');
    return std::string(caption.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

std::optional<std::string> buttonShown(const RadioGroupCaptions &group, int index)
{
    const std::string_view text = group.buttonText(index);
    if (text.empty())
        return std::nullopt;
    return withoutMnemonic(text);
}

Field radioField(const RadioGroupCaptions &group, int index, std::vector<ImageSpan> sources)
{
    return {std::string(group.caption), buttonShown(group, index), {}, {}, std::move(sources)};
}

Field labelledField(const LabelCaption &label, std::string value, std::vector<ImageSpan> sources)
{
    return {withoutMnemonic(label.text), std::move(value), {}, {}, std::move(sources)};
}

// --- parameter page ---

Page parameterPage(const SettingsImage &image)
{
    using ParamRecord::Group;
    const ParamRecord::Values values = ParamRecord::decode(image);
    Page page{tabTitle(Str::kTabParam), {}};
    for (std::size_t i = 0; i < ParamRecord::kGroupCount; ++i) {
        const auto group = static_cast<Group>(i);
        const std::size_t offset = ImageLayout::kParamRecord + ParamRecord::fieldOf(group).position;
        page.fields.push_back(radioField(ParamFields::captionsOf(group), values.choice(group), {{offset, 1}}));
        if (group == Group::AutoForwardStandby) {
            Field adjustment = labelledField(ParamFields::kAdjustment, Cp932::ToShown(values.adjustment),
                                             {{ImageLayout::kParamRecord + ParamRecord::kAdjustmentSign, 3}});
            adjustment.unit = ParamFields::kAdjustmentUnit;
            page.fields.push_back(std::move(adjustment));
        }
    }
    return page;
}

// --- fine-adjustment page ---

std::vector<ImageSpan> fineSources(const FinePositions &positions)
{
    std::vector<ImageSpan> sources;
    if (positions.sign)
        sources.push_back({ImageLayout::kFineRecord + *positions.sign, 1});
    sources.push_back({ImageLayout::kFineRecord + positions.firstDigit, positions.digitCount()});
    return sources;
}

Page finePage(const SettingsImage &image)
{
    const FineTexts texts = FineRecord::Decode(image);
    Page page{tabTitle(Str::kTabFine), {}};
    for (std::size_t row = 0; row < FineFields::kCount; ++row) {
        const FineField &field = FineFields::kRows[row];
        page.fields.push_back({withoutMnemonic(field.label), Cp932::ToShown(texts[row].value),
                               texts[row].direction, std::string(field.unit), fineSources(field.positions)});
    }
    return page;
}

// --- IP address page ---

std::string addressText(const IpRecords::Octets &octets)
{
    std::string text;
    for (const int octet : octets)
        text += (text.empty() ? "" : ".") + std::to_string(octet);
    return text;
}

std::vector<ImageSpan> octetSources(std::size_t record)
{
    return {{record + 6, 3}, {record + 10, 3}, {record + 14, 3}, {record + 18, 3}};
}

std::string clientIdShown(const SettingsImage &image, int inputType)
{
    const std::string field = IpRecords::ReadClientIdField(image);
    return Cp932::ToShown(ClientIdText::ShownFromField(field, inputType != 0));
}

Page ipPage(const SettingsImage &image)
{
    using namespace IpRecords;
    Page page{tabTitle(Str::kTabIp), {}};
    for (const IpFields::AddressField &address : IpFields::kAddresses)
        page.fields.push_back(labelledField(address.label, addressText(ReadOctets(image, address.record)),
                                            octetSources(address.record)));

    page.fields.push_back(radioField(IpFields::kSocket, ReadChoice(image, kSocketFlag), {{kSocketFlag, 1}}));
    page.fields.push_back(labelledField(IpFields::kPort, ReadPortText(image), {{kPortDigits, kPortWidth}}));
    page.fields.push_back(radioField(IpFields::kDhcp, ReadChoice(image, kDhcpFlag), {{kDhcpFlag, 1}}));

    const ImageSpan inputTypeByte{ImageLayout::kInputTypeByte, 1};
    const int inputType = ReadChoice(image, ImageLayout::kInputTypeByte);
    Field type = radioField(IpFields::kClientIdGroup, inputType, {inputTypeByte});
    type.caption = withoutMnemonic(IpFields::kInputType.text);
    page.fields.push_back(std::move(type));
    page.fields.push_back(labelledField(IpFields::kClientId, clientIdShown(image, inputType),
                                        {{kClientIdField, kClientIdWidth}, inputTypeByte}));
    return page;
}

// --- issue-control page ---

Page issuePage(const SettingsImage &image)
{
    Page page{tabTitle(Str::kTabIssue), {}};
    page.fields.push_back(radioField(IssueFields::kStopMode, IssueRecord::ReadStopMode(image),
                                     {{IssueRecord::kStopModeOffset, 1}}));
    for (const IssueRecord::Combo combo : IssueRecord::kCombos)
        page.fields.push_back(labelledField(IssueFields::labelOf(combo),
                                            std::string(IssueRecord::ReadText(image, combo)),
                                            {{IssueRecord::CodeOffset(combo), 1}}));
    return page;
}

}  // namespace

std::vector<Page> of(const SettingsImage &image)
{
    return {parameterPage(image), finePage(image), ipPage(image), issuePage(image)};
}

std::string displayText(const Field &field)
{
    if (!field.value)
        return "(no choice)";
    std::string text = field.direction.empty() ? *field.value : field.direction + ' ' + *field.value;
    if (!field.unit.empty())
        text += ' ' + field.unit;
    return text;
}

bool sourcesDiffer(const Field &field, const SettingsImage &a, const SettingsImage &b)
{
    for (const ImageSpan &span : field.sources) {
        if (a.slice(span.offset, span.length) != b.slice(span.offset, span.length))
            return true;
    }
    return false;
}

}  // namespace ShownSettings
