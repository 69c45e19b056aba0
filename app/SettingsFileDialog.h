#pragma once

#include <QFileDialog>

// Qt's own file dialog for the settings files ("SB設定ファイル (*.dat)", default extension "dat",
// initial name "*.dat"), the same on every desktop: never the platform's native dialog, whose
// answers this class could not check. A name with wildcard characters, such as the initial
// "*.dat", is a pattern and never the chosen file: accepting it leaves the dialog open, showing
// the files that match.
class SettingsFileDialog : public QFileDialog
{
    Q_OBJECT

public:
    SettingsFileDialog(QWidget *parent, const QString &folder, AcceptMode mode);

    // Runs the dialog; the chosen file, or an empty string when the user cancelled.
    QString choose();

protected:
    void accept() override;
};
