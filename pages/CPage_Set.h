#pragma once

#include "fields/Field.h"
#include "pages/SettingsPage.h"

#include <memory>
#include <vector>

class QComboBox;
class QLineEdit;
class SpinControl;

namespace Ui {
class CPage_Set;
}

// The fine-adjustment page: feed, cut position, back-feed and X coordinate with their directions,
// the two print densities, the two ribbon motor voltages and the two sensor thresholds, one row
// per number field of the page. Every edit is kept inside its field by the field's rule on each
// change of its text; every change ends in dataCheck().
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
        const Fields::Field *field = nullptr;           // the number
        const Fields::Field *directionField = nullptr;  // only the four millimetre rows have one
        QComboBox *direction = nullptr;
        QLineEdit *edit = nullptr;
        SpinControl *spin = nullptr;
        Fields::Loaded loaded;  // the value as the last distribution found it
    };

    void bindRow(Row &row, const Fields::Field &field);
    void watchDirectionList(QComboBox *list);
    void filterEdit(const Row &row);
    void showSpinPosition(const Row &row, int position);

    static Fields::FieldValue directionValue(const Row &row);
    static Fields::FieldValue numberValue(const Row &row);

    std::unique_ptr<Ui::CPage_Set> m_ui;
    std::vector<Row> m_rows;
};
