#pragma once

#include <QString>

class QWidget;

// Everything the program asks the user: message boxes and the settings-file dialogs. The real
// implementation shows Qt's dialogs; tests answer from a script.
class UserPrompts
{
public:
    enum class Icon { Information, Warning, Error };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~UserPrompts() = default;

    // A message box captioned "Setbridge" whose first button is the default. `details`, when
    // not empty, is plain text the user can unfold below the message (the spooler's own reason).
    virtual Answer message(QWidget *parent, const QString &text, Icon icon, Buttons buttons,
                           const QString &details) = 0;
    Answer message(QWidget *parent, const QString &text, Icon icon, Buttons buttons)
    {
        return message(parent, text, icon, buttons, QString());
    }

    // The settings-file dialogs ("SB設定ファイル (*.dat)", default extension "dat", initial name
    // "*.dat", starting in `folder`). An empty result means the user cancelled.
    virtual QString openSettingsFile(QWidget *parent, const QString &folder) = 0;
    virtual QString saveSettingsFile(QWidget *parent, const QString &folder) = 0;
};
