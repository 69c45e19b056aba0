#pragma once

#include "KeptText.h"
#include "ParamRecord.h"
#include "SettingsPage.h"

#include <array>
#include <memory>

class QButtonGroup;
class QString;

namespace Ui {
class CPage_Param1;
}

// The parameter page: eleven radio groups and the forward-standby adjustment, bound to the
// parameter record. Every radio click and every change of the adjustment text emits dataCheck().
class CPage_Param1 : public SettingsPage
{
    Q_OBJECT

public:
    explicit CPage_Param1(QWidget *parent = nullptr);
    ~CPage_Param1() override;

    void LoadFromImage(const SettingsImage &image) override;
    void StoreToImage(SettingsImage &image) override;

private:
    void createButtonGroups();
    void connectControls();
    QButtonGroup *buttonGroup(ParamRecord::Group group) const;

    // Page state <-> controls. A group whose state selects no button shows none, and keeps its
    // state (the code read from the image) until the user picks a button.
    void showValues();
    void takeValuesFromControls();
    void applyEnablingRule();

    void onRadioClicked(ParamRecord::Group group);
    void onAdjustmentTextChanged(const QString &text);
    void onSpinStepped(int position);

    std::unique_ptr<Ui::CPage_Param1> m_ui;
    std::array<QButtonGroup *, ParamRecord::kGroupCount> m_groups{};
    ParamRecord::Values m_values;
    KeptText m_keptAdjustment;  // positions 15-17 as the last distribution found them
};
