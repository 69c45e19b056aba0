#include "MessageBoxPrompts.h"

#include "Strings.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon toQt(UserPrompts::Icon icon)
{
    switch (icon) {
    case UserPrompts::Icon::Information:
        return QMessageBox::Information;
    case UserPrompts::Icon::Warning:
        return QMessageBox::Warning;
    case UserPrompts::Icon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QList<QMessageBox::StandardButton> buttonsOf(UserPrompts::Buttons buttons)
{
    switch (buttons) {
    case UserPrompts::Buttons::Ok:
        return {QMessageBox::Ok};
    case UserPrompts::Buttons::OkCancel:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case UserPrompts::Buttons::YesNo:
        return {QMessageBox::Yes, QMessageBox::No};
    case UserPrompts::Buttons::YesNoCancel:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    }
    return {QMessageBox::Ok};
}

UserPrompts::Answer fromQt(int button)
{
    switch (button) {
    case QMessageBox::Ok:
        return UserPrompts::Answer::Ok;
    case QMessageBox::Yes:
        return UserPrompts::Answer::Yes;
    case QMessageBox::No:
        return UserPrompts::Answer::No;
    default:
        return UserPrompts::Answer::Cancel;  // Cancel, Escape, the close box
    }
}

QString settingsFilter()
{
    return QString::fromUtf8(Str::kSettingsFileFilter);  // "SB設定ファイル (*.dat)"
}

QString runFileDialog(QWidget *parent, const QString &folder, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, QString(), folder, settingsFilter());
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromUtf8(Str::kSettingsFileExtension));
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);  // ask before replacing a file
    dialog.selectFile(QString::fromUtf8(Str::kSettingsFilePattern));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace

UserPrompts::Answer MessageBoxPrompts::message(QWidget *parent, const QString &text, Icon icon, Buttons buttons)
{
    QMessageBox box(toQt(icon), QString::fromUtf8(Str::kCaption), text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);  // a message never carries markup
    const QList<QMessageBox::StandardButton> standard = buttonsOf(buttons);
    for (const QMessageBox::StandardButton button : standard)
        box.addButton(button);
    box.setDefaultButton(standard.constFirst());
    if (standard.contains(QMessageBox::Cancel))
        box.setEscapeButton(QMessageBox::Cancel);
    return fromQt(box.exec());
}

QString MessageBoxPrompts::openSettingsFile(QWidget *parent, const QString &folder)
{
    return runFileDialog(parent, folder, QFileDialog::AcceptOpen);
}

QString MessageBoxPrompts::saveSettingsFile(QWidget *parent, const QString &folder)
{
    return runFileDialog(parent, folder, QFileDialog::AcceptSave);
}
