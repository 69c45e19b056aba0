#include "app/MessageBoxPrompts.h"

#include "app/SettingsFileDialog.h"
#include "res/Strings.h"

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

}  // namespace

UserPrompts::Answer MessageBoxPrompts::message(QWidget *parent, const QString &text, Icon icon, Buttons buttons,
                                               const QString &details)
{
    QMessageBox box(toQt(icon), QString::fromUtf8(Str::kCaption), text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);  // a message never carries markup
    if (!details.isEmpty())
        box.setDetailedText(details);  // always shown as plain text
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
    return SettingsFileDialog(parent, folder, QFileDialog::AcceptOpen).choose();
}

QString MessageBoxPrompts::saveSettingsFile(QWidget *parent, const QString &folder)
{
    return SettingsFileDialog(parent, folder, QFileDialog::AcceptSave).choose();
}
