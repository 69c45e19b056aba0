#include "commands/SettingsFileCommands.h"

#include "host/UserPrompts.h"
#include "res/Strings.h"
#include "settings/AutoSettings.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsFileLock.h"
#include "text/VisibleText.h"

#include <QFile>

#include <optional>

namespace SettingsFileCommands {

namespace {

// Both dialogs start where "setting" is written, every time; nothing of the last choice is kept.
QString dialogFolder(const CommandHost &host)
{
    return QFile::decodeName(QByteArray::fromStdString(host.settingsLocation().prepareWriteFolder().native()));
}

std::filesystem::path toPath(const QString &chosen)
{
    return std::filesystem::path(QFile::encodeName(chosen).toStdString());
}

bool userKeepsChanges(CommandHost &host)
{
    if (!host.images().DiffersFromSent())
        return false;
    const auto answer = host.prompts().message(host.window(), QString::fromUtf8(Str::kAskDiscardChanges),
                                               UserPrompts::Icon::Warning, UserPrompts::Buttons::YesNo);
    return answer == UserPrompts::Answer::No;
}

// Takes the file's image as the current and the saved one, or tells the user it is not a
// settings file; in that case the current image and the pages stay as they were.
void loadFrom(CommandHost &host, const QString &chosen)
{
    const std::optional<SettingsImage> image = SettingsFile::read(toPath(chosen));
    if (!image) {
        host.prompts().message(host.window(), QString::fromUtf8(Str::kNotASettingsFile),
                               UserPrompts::Icon::Warning, UserPrompts::Buttons::Ok);
        return;
    }
    SettingsImages &images = host.images();
    images.current = *image;
    host.DistributeImage();
    images.markSaved();
    host.OnDataCheck();
}

// The details name the file: a link that was refused is not what the user sees in the dialog.
// The path is the system's, shown as plain text with nothing in it that could reorder it.
void reportWriteFailure(CommandHost &host, const QString &chosen)
{
    const QString shown = QString::fromStdString(VisibleText::Escaped(chosen.toStdString()));
    host.prompts().message(host.window(), QString::fromUtf8(Str::kSettingsWriteFailed), UserPrompts::Icon::Error,
                           UserPrompts::Buttons::Ok, shown);
}

// Another program changing the file at the same moment (sbq740-cli set) holds its lock from
// before it reads the file until it has written it: the save waits, so that the file ends up
// with what the user saved, not with the other program's change to what was there before.
SettingsFile::WriteResult writeWhenFree(const std::filesystem::path &path, const SettingsImage &image)
{
    const SettingsFileLock lock(path);
    if (lock.state() == SettingsFileLock::State::Busy)
        return SettingsFile::WriteResult::WriteFailed;
    return SettingsFile::write(path, image);
}

// A path of the system's, shown as plain text with nothing in it that could reorder it.
QString shownPath(const std::filesystem::path &path)
{
    const QString decoded = QFile::decodeName(QByteArray::fromStdString(path.native()));
    return QString::fromStdString(VisibleText::Escaped(decoded.toStdString()));
}

}  // namespace

void ReadAutoSettings(CommandHost &host)
{
    const AutoSettings::ReadOutcome read = AutoSettings::readKeepingDamaged(host.settingsLocation());
    host.images().startFrom(read.image);
    if (read.damaged.empty())
        return;
    QString text = QString::fromUtf8(Str::kAutoSettingsUnreadable).replace(QStringLiteral("%s"), shownPath(read.damaged));
    if (!read.keptAs.empty())
        text += QString::fromUtf8(Str::kAutoSettingsKeptAs).replace(QStringLiteral("%s"), shownPath(read.keptAs));
    host.prompts().message(host.window(), text, UserPrompts::Icon::Warning, UserPrompts::Buttons::Ok);
}

void OnLoadSettings(CommandHost &host)
{
    host.CollectImage();
    if (userKeepsChanges(host))
        return;

    const QString chosen = host.prompts().openSettingsFile(host.window(), dialogFolder(host));
    if (!chosen.isEmpty())
        loadFrom(host, chosen);
    host.ShowFirstTab();
}

CommandHost::SaveResult OnSaveSettings(CommandHost &host)
{
    host.CollectImage();
    QString chosen = host.prompts().saveSettingsFile(host.window(), dialogFolder(host));
    while (!chosen.isEmpty()) {
        switch (writeWhenFree(toPath(chosen), host.images().current)) {
        case SettingsFile::WriteResult::Written:
            host.images().markSaved();
            return CommandHost::SaveResult::Done;
        case SettingsFile::WriteResult::AccessDenied:
            // The user may pick another file.
            reportWriteFailure(host, chosen);
            chosen = host.prompts().saveSettingsFile(host.window(), dialogFolder(host));
            break;
        case SettingsFile::WriteResult::OpenFailed:
        case SettingsFile::WriteResult::WriteFailed:
            reportWriteFailure(host, chosen);
            return CommandHost::SaveResult::Done;
        }
    }
    return CommandHost::SaveResult::Cancelled;
}

}  // namespace SettingsFileCommands
