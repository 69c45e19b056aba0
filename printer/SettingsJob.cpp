#include "SettingsJob.h"

#include "ImageLayout.h"

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

}  // namespace SettingsJob
