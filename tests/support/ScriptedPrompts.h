#pragma once

#include "host/UserPrompts.h"

#include <QList>
#include <QString>
#include <QStringList>

// Answers the program's questions from a script and records every message it was shown.
// An unscripted message box is answered with its first button; an unscripted file dialog is
// cancelled.
class ScriptedPrompts : public UserPrompts
{
public:
    struct Shown
    {
        QString text;
        Icon icon;
        Buttons buttons;
        QString details;
    };

    using UserPrompts::message;
    Answer message(QWidget *parent, const QString &text, Icon icon, Buttons buttons, const QString &details) override;
    QString openSettingsFile(QWidget *parent, const QString &folder) override;
    QString saveSettingsFile(QWidget *parent, const QString &folder) override;

    // Queue the answers to the next message boxes / file dialogs, in order.
    void answer(Answer next) { m_answers.append(next); }
    void chooseOpenFile(const QString &path) { m_openFiles.append(path); }
    void chooseSaveFile(const QString &path) { m_saveFiles.append(path); }

    const QList<Shown> &shown() const { return m_shown; }
    QStringList texts() const;
    QStringList openDialogFolders() const { return m_openFolders; }
    QStringList saveDialogFolders() const { return m_saveFolders; }
    void clear();

private:
    QList<Answer> m_answers;
    QStringList m_openFiles;
    QStringList m_saveFiles;
    QList<Shown> m_shown;
    QStringList m_openFolders;
    QStringList m_saveFolders;
};
