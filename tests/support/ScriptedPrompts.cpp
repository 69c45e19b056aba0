#include "ScriptedPrompts.h"

namespace {

UserPrompts::Answer firstButton(UserPrompts::Buttons buttons)
{
    switch (buttons) {
    case UserPrompts::Buttons::Ok:
    case UserPrompts::Buttons::OkCancel:
        return UserPrompts::Answer::Ok;
    case UserPrompts::Buttons::YesNo:
    case UserPrompts::Buttons::YesNoCancel:
        return UserPrompts::Answer::Yes;
    }
    return UserPrompts::Answer::Ok;
}

}  // namespace

UserPrompts::Answer ScriptedPrompts::message(QWidget *, const QString &text, Icon icon, Buttons buttons,
                                             const QString &details)
{
    m_shown.append({text, icon, buttons, details});
    if (m_answers.isEmpty())
        return firstButton(buttons);
    return m_answers.takeFirst();
}

QString ScriptedPrompts::openSettingsFile(QWidget *, const QString &folder)
{
    m_openFolders.append(folder);
    return m_openFiles.isEmpty() ? QString() : m_openFiles.takeFirst();
}

QString ScriptedPrompts::saveSettingsFile(QWidget *, const QString &folder)
{
    m_saveFolders.append(folder);
    return m_saveFiles.isEmpty() ? QString() : m_saveFiles.takeFirst();
}

QStringList ScriptedPrompts::texts() const
{
    QStringList result;
    for (const Shown &shown : m_shown)
        result.append(shown.text);
    return result;
}

void ScriptedPrompts::clear()
{
    m_answers.clear();
    m_openFiles.clear();
    m_saveFiles.clear();
    m_shown.clear();
    m_openFolders.clear();
    m_saveFolders.clear();
}
