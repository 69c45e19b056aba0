#pragma once

#include "fields/Field.h"
#include "pages/SettingsPage.h"

#include <memory>
#include <vector>

class QButtonGroup;
class QString;

namespace Ui {
class CPage_Param1;
}

// The parameter page: eleven radio groups and the forward-standby adjustment, bound to the
// parameter page's fields. Every radio click and every change of the adjustment text emits
// dataCheck().
class CPage_Param1 : public SettingsPage
{
    Q_OBJECT

public:
    explicit CPage_Param1(QWidget *parent = nullptr);
    ~CPage_Param1() override;

    void LoadFromImage(const SettingsImage &image) override;
    void StoreToImage(SettingsImage &image) override;

private:
    // A field of the page, its control's value as the page last took it, and what the last
    // distribution showed.
    struct Bound
    {
        const Fields::Field *field = nullptr;
        QButtonGroup *buttons = nullptr;  // the choices; the adjustment has none
        Fields::FieldValue value;
        Fields::Loaded loaded;
    };

    void bindFields();
    void connectControls();
    Bound &adjustment();
    Bound &autoForwardStandby();

    // Page state <-> controls. A group whose state selects no button shows none, and keeps its
    // state (nothing chosen) until the user picks a button.
    void showValues();
    void takeValuesFromControls();
    void applyEnablingRule();

    void onRadioClicked(const Bound &bound);
    void onAdjustmentTextChanged(const QString &text);
    void onSpinStepped(int position);

    std::unique_ptr<Ui::CPage_Param1> m_ui;
    std::vector<Bound> m_fields;
};
