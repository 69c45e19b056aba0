#include "spooler/SettingsJob.h"

#include "settings/ImageLayout.h"

namespace SettingsJob {

Span spanOf(Group group)
{
    switch (group) {
    case Group::Parameter:  // the parameter record and its NUL
        return {ImageLayout::kParamRecord, ImageLayout::kFineRecord - ImageLayout::kParamRecord};
    case Group::FineAdjustment:  // the fine-adjustment record and its NUL
        return {ImageLayout::kFineRecord, ImageLayout::kIpRecord - ImageLayout::kFineRecord};
    case Group::IpAddress:  // IP address, gateway, subnet mask, socket port, DHCP client ID
        return {ImageLayout::kIpRecord, ImageLayout::kIssueRecord - ImageLayout::kIpRecord};
    case Group::IssueControl:  // the issue-control record and its NUL
        return {ImageLayout::kIssueRecord, ImageLayout::kExtendedRecord - ImageLayout::kIssueRecord};
    }
    return {0, 0};
}

namespace {

bool isControl(char byte)
{
    const auto value = static_cast<unsigned char>(byte);
    return value < 0x20 || value == 0x7f;
}

// The record that starts at `begin` and whose NUL is the byte before `end`.
bool recordIsFramed(const SettingsImage &image, std::size_t begin, std::size_t end)
{
    if (image[begin] != '\x1b' || image[end - 2] != '\n' || image[end - 1] != '\0')
        return false;
    for (std::size_t i = begin + 1; i < end - 2; ++i) {
        if (isControl(image[i]))
            return false;
    }
    return true;
}

}  // namespace

bool isFramed(const SettingsImage &image, Group group)
{
    const Span span = spanOf(group);
    const auto &bounds = ImageLayout::kRecordBounds;
    for (std::size_t record = 0; record + 1 < bounds.size(); ++record) {
        const bool inGroup = bounds[record] >= span.offset && bounds[record + 1] <= span.offset + span.length;
        if (inGroup && !recordIsFramed(image, bounds[record], bounds[record + 1]))
            return false;
    }
    return true;
}

std::string build(const SettingsImage &image, Group group)
{
    const Span span = spanOf(group);
    std::string job;
    job.reserve(kSize);
    job.append(image.slice(span.offset, span.length));
    job.append(kTrailer);
    job.resize(kSize, '\0');
    return job;
}

std::optional<Group> groupOf(std::string_view job)
{
    if (job.size() != kSize || job.front() != '\x1b')
        return std::nullopt;
    for (int index = 0; index < kGroupCount; ++index) {
        const auto group = static_cast<Group>(index);
        const std::size_t end = spanOf(group).length;
        // Records hold no control byte, so the trailer followed by nothing but NUL ends one group only.
        if (job.substr(end, kTrailer.size()) == kTrailer
            && job.find_first_not_of('\0', end + kTrailer.size()) == std::string_view::npos)
            return group;
    }
    return std::nullopt;
}

}  // namespace SettingsJob
