#pragma once

#include "host/UserPrompts.h"

// The real prompts: Qt message boxes captioned "Setbridge" and Qt's file dialogs.
class MessageBoxPrompts : public UserPrompts
{
public:
    using UserPrompts::message;
    Answer message(QWidget *parent, const QString &text, Icon icon, Buttons buttons, const QString &details) override;
    QString openSettingsFile(QWidget *parent, const QString &folder) override;
    QString saveSettingsFile(QWidget *parent, const QString &folder) override;
};
