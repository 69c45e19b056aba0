#include "app/SettingsFileDialog.h"

#include "res/Strings.h"

#include <QFileInfo>

namespace {

bool isPattern(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    return name.contains(u'*') || name.contains(u'?');
}

}  // namespace

SettingsFileDialog::SettingsFileDialog(QWidget *parent, const QString &folder, AcceptMode mode)
    : QFileDialog(parent, QString(), folder, QString::fromUtf8(Str::kSettingsFileFilter))
{
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(mode);
    setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    setDefaultSuffix(QString::fromUtf8(Str::kSettingsFileExtension));
    setOption(QFileDialog::ReadOnly, false);
    setOption(QFileDialog::DontConfirmOverwrite, false);  // ask before replacing a file
    selectFile(QString::fromUtf8(Str::kSettingsFilePattern));
}

QString SettingsFileDialog::choose()
{
    if (exec() != QDialog::Accepted || selectedFiles().isEmpty())
        return {};
    return selectedFiles().constFirst();
}

void SettingsFileDialog::accept()
{
    const QStringList chosen = selectedFiles();
    if (!chosen.isEmpty() && isPattern(chosen.constFirst()))
        return;  // the list already shows the files of the filter; the pattern stays to be typed over
    QFileDialog::accept();
}
