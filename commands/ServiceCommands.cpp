#include "commands/ServiceCommands.h"

#include "commands/FollowedJob.h"
#include "host/CommandHost.h"
#include "host/UserPrompts.h"
#include "res/Strings.h"
#include "send/SendPolicy.h"
#include "spooler/HeadCheckJob.h"
#include "spooler/RgbImage.h"
#include "spooler/Spooler.h"

#include <QImage>
#include <QString>

namespace ServiceCommands {
namespace {

using Icon = UserPrompts::Icon;
using Buttons = UserPrompts::Buttons;

const QString kTestLabelResource = QStringLiteral(":/testlabel.bmp");

UserPrompts::Answer tell(CommandHost &host, const char *utf8, Icon icon, Buttons buttons = Buttons::Ok)
{
    return host.prompts().message(host.window(), QString::fromUtf8(utf8), icon, buttons);
}

bool confirmed(CommandHost &host, const char *question)
{
    return tell(host, question, Icon::Information, Buttons::OkCancel) == UserPrompts::Answer::Ok;
}

// The stored test-label picture, pixel for pixel, top row first. Invalid when it can't be read.
RgbImage testLabel()
{
    const QImage picture = QImage(kTestLabelResource).convertToFormat(QImage::Format_RGB888);
    RgbImage image;
    if (picture.isNull())
        return image;
    image.width = picture.width();
    image.height = picture.height();
    image.pixels.reserve(image.rowBytes() * static_cast<std::size_t>(image.height));
    for (int y = 0; y < picture.height(); ++y)
        image.pixels.append(reinterpret_cast<const char *>(picture.constScanLine(y)), image.rowBytes());
    return image;
}

}  // namespace

void OnTestPrint(CommandHost &host)
{
    if (!confirmed(host, Str::kAskTestPrint))
        return;
    const RgbImage picture = testLabel();
    if (!picture.isValid())
        return;
    // Whether the spooler took the job is not reported; that it never can is.
    if (host.spooler().printImage(host.selectedPrinter().m_strPrinterName, Str::kTestPrintJobName, picture)
            .documentUnsupported)
        tell(host, Str::kTestPrintNeedsDriver, Icon::Warning);
}

void OnHeadCheck(CommandHost &host, const JobFollowing::Time &time)
{
    if (!confirmed(host, Str::kAskHeadCheck))
        return;
    // The head check carries no settings: only the printer's connection can refuse it.
    const SendPolicy::Answer answer = SendPolicy::decide({host.selectedPrinter().m_strConnection, std::nullopt});
    if (!answer.allowed()) {
        tell(host, answer.refusals.front().text.c_str(), Icon::Information);
        return;
    }

    host.CollectImage();
    const JobOutcome outcome = FollowedJob::send(host, Str::kHeadCheckJobName, HeadCheckJob::build(), time);
    FollowedJob::report(host, outcome, {Str::kHeadCheckDone, Str::kHeadCheckWaiting});
}

}  // namespace ServiceCommands
