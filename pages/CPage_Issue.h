#pragma once

#include "fields/Field.h"
#include "pages/SettingsPage.h"

#include <QString>

#include <memory>
#include <vector>

namespace Ui {
class CPage_Issue;
}
class QComboBox;

// The "発行制御設定" tab: the stop-position mode and six choices of how labels are issued, five of
// which can be left to the printer driver.
class CPage_Issue : public SettingsPage
{
    Q_OBJECT

public:
    explicit CPage_Issue(QWidget *parent = nullptr);
    ~CPage_Issue() override;

    void LoadFromImage(const SettingsImage &image) override;
    void StoreToImage(SettingsImage &image) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A list of the page: its field, its combo box and the item text the page state holds.
    struct List
    {
        const Fields::Field *field;
        QComboBox *box;
        QString *text;
    };

    void bindLists();
    void collectControls();
    void showState();
    void onControlCommand();

    std::unique_ptr<Ui::CPage_Issue> m_ui;
    const Fields::Field &m_stopModeField;
    std::vector<List> m_lists;

    int m_nStopMode = 1;  // the checked button's index, -1 when none is
    QString m_strSensor;
    QString m_strMethod;
    QString m_strSpeed;
    QString m_strCut;
    QString m_strTagRotation;
    QString m_strStatusReply;

    Fields::Loaded m_loadedStopMode;  // a stop mode that checks no button goes back as read
};
