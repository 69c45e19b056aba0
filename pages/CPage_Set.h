#pragma once

#include "FineFields.h"
#include "FineRecord.h"
#include "KeptText.h"
#include "SettingsPage.h"

#include <array>
#include <memory>

class QComboBox;
class QLineEdit;
class SpinControl;

namespace Ui {
class CPage_Set;
}

// The fine-adjustment page: feed, cut position, back-feed and X coordinate with their directions,
// the two print densities, the two ribbon motor voltages and the two sensor thresholds, one row of
// FineFields::kRows each. Every edit is kept inside its field by FilterFineText on each change of
// its text; every change ends in dataCheck().
class CPage_Set : public SettingsPage
{
    Q_OBJECT

public:
    explicit CPage_Set(QWidget *parent = nullptr);
    ~CPage_Set() override;

    void LoadFromImage(const SettingsImage &image) override;
    void StoreToImage(SettingsImage &image) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Row
    {
        const FineField *field = nullptr;
        QComboBox *direction = nullptr;  // only the four millimetre rows have one
        QLineEdit *edit = nullptr;
        SpinControl *spin = nullptr;
    };

    void bindRow(std::size_t index);
    void watchDirectionList(QComboBox *list);
    void filterEdit(const Row &row);
    void showSpinPosition(const Row &row, int position);

    FineTexts takeTexts() const;
    void showTexts(const FineTexts &texts);

    std::unique_ptr<Ui::CPage_Set> m_ui;
    std::array<Row, FineFields::kCount> m_rows{};
    std::array<KeptText, FineFields::kCount> m_kept{};  // each value as the last distribution found it
};
