#include "ProgramFolders.h"

#include "Strings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ProgramFolders {

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString applicationName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

std::filesystem::path dataFolder()
{
    const QFileInfo folder(programFolder());
    if (folder.isDir() && folder.isWritable())
        return std::filesystem::path(programFolder().toStdString());
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    return std::filesystem::path(config.toStdString());
}

QString helpPath()
{
    const QString name = QString::fromUtf8(Str::kHelpFileName);
    const QString beside = QDir(programFolder()).filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir(programFolder()).filePath(QStringLiteral("../share/sbq740/") + name);
    if (QFileInfo::exists(installed))
        return QDir::cleanPath(installed);
    return beside;
}

}  // namespace ProgramFolders
