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

    // A message box captioned "Setbridge" whose first button is the default.
    virtual Answer message(QWidget *parent, const QString &text, Icon icon, Buttons buttons) = 0;

    // The settings-file dialogs ("SB設定ファイル (*.dat)", default extension "dat", initial name
    // "*.dat", starting in `folder`). An empty result means the user cancelled.
    virtual QString openSettingsFile(QWidget *parent, const QString &folder) = 0;
    virtual QString saveSettingsFile(QWidget *parent, const QString &folder) = 0;
};
