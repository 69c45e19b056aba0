#include "pages/CPage_Param1.h"

#include "fields/FieldTable.h"
#include "pages/PageControls.h"
#include "ui_CPage_Param1.h"

#include <QButtonGroup>
#include <QRadioButton>

#include <initializer_list>

namespace {

constexpr std::string_view kAutoForwardStandby = "param.auto_forward_standby";
constexpr std::string_view kAdjustment = "param.forward_standby_adjustment";

// Shows no button of `group` checked (an exclusive group refuses to uncheck its last button).
void clearSelection(QButtonGroup *group)
{
    group->setExclusive(false);
    for (QAbstractButton *button : group->buttons())
        button->setChecked(false);
    group->setExclusive(true);
}

}  // namespace

CPage_Param1::CPage_Param1(QWidget *parent)
    : SettingsPage(parent)
    , m_ui(std::make_unique<Ui::CPage_Param1>())
{
    m_ui->setupUi(this);
    bindFields();

    const Fields::Spin &spin = adjustment().field->number->spin;
    m_ui->spin_1245->setRange(spin.lower, spin.upper);
    m_ui->spin_1245->setBuddy(m_ui->edit_1242, spin.scale);
    showValues();
    applyEnablingRule();
    connectControls();
}

CPage_Param1::~CPage_Param1() = default;

// Until the first distribution the page shows the second button of every group.
void CPage_Param1::bindFields()
{
    for (const Fields::Field *field : Fields::ofPage(Fields::PageId::Param)) {
        Bound bound{field, nullptr, {}, {}};
        if (field->kind == Fields::Kind::Choice) {
            bound.buttons = new QButtonGroup(this);
            int index = 0;
            for (const Fields::Choice &choice : field->choices)
                bound.buttons->addButton(PageControls::find<QRadioButton>(this, "radio", choice.buttonId), index++);
            bound.value.choice = 1;
        }
        m_fields.push_back(std::move(bound));
    }
}

void CPage_Param1::connectControls()
{
    for (const Bound &bound : m_fields) {
        if (bound.buttons)
            connect(bound.buttons, &QButtonGroup::idClicked, this, [this, &bound](int) { onRadioClicked(bound); });
    }
    connect(m_ui->edit_1242, &QLineEdit::textChanged, this, &CPage_Param1::onAdjustmentTextChanged);
    connect(m_ui->spin_1245, &SpinControl::stepped, this, &CPage_Param1::onSpinStepped);
}

CPage_Param1::Bound &CPage_Param1::adjustment()
{
    return *std::ranges::find(m_fields, kAdjustment, [](const Bound &bound) { return bound.field->key; });
}

CPage_Param1::Bound &CPage_Param1::autoForwardStandby()
{
    return *std::ranges::find(m_fields, kAutoForwardStandby, [](const Bound &bound) { return bound.field->key; });
}

void CPage_Param1::LoadFromImage(const SettingsImage &image)
{
    for (Bound &bound : m_fields)
        bound.value = bound.field->decode(image);
    applyEnablingRule();
    showValues();
    takeValuesFromControls();
    for (Bound &bound : m_fields)
        bound.loaded = bound.field->load(image, bound.value);
}

void CPage_Param1::StoreToImage(SettingsImage &image)
{
    takeValuesFromControls();
    for (const Bound &bound : m_fields)
        bound.field->encode(bound.value, image, &bound.loaded);
}

void CPage_Param1::showValues()
{
    for (const Bound &bound : m_fields) {
        if (!bound.buttons)
            continue;
        if (QAbstractButton *button = bound.value.choice ? bound.buttons->button(int(*bound.value.choice)) : nullptr)
            button->setChecked(true);
        else
            clearSelection(bound.buttons);
    }
    // A new text runs the edit filter, which emits dataCheck().
    m_ui->edit_1242->setText(QString::fromStdString(adjustment().value.text));
}

void CPage_Param1::takeValuesFromControls()
{
    for (Bound &bound : m_fields) {
        if (!bound.buttons)
            continue;
        const int checked = bound.buttons->checkedId();
        if (checked >= 0)
            bound.value.choice = static_cast<std::size_t>(checked);
    }
    adjustment().value.text = m_ui->edit_1242->text().toStdString();
}

void CPage_Param1::applyEnablingRule()
{
    const bool enabled = autoForwardStandby().value.choice != 0u;
    for (QWidget *control : std::initializer_list<QWidget *>{m_ui->label_1269, m_ui->edit_1242,
                                                             m_ui->spin_1245, m_ui->label_1273})
        control->setEnabled(enabled);
}

void CPage_Param1::onRadioClicked(const Bound &bound)
{
    emit dataCheck();
    if (bound.field->key == kAutoForwardStandby) {
        takeValuesFromControls();
        applyEnablingRule();
    }
}

void CPage_Param1::onAdjustmentTextChanged(const QString &text)
{
    QLineEdit *edit = m_ui->edit_1242;
    // Replacing the text changes it again: this handler then runs nested on the new text.
    if (const auto replacement = adjustment().field->filter(text.toStdString(), edit->hasFocus()))
        edit->setText(QString::fromStdString(*replacement));
    emit dataCheck();
}

void CPage_Param1::onSpinStepped(int position)
{
    m_ui->edit_1242->setText(QString::fromStdString(adjustment().field->number->spin.stepText(position)));
}
