#include "CPage_Param1.h"

#include "PageText.h"
#include "ui_CPage_Param1.h"

#include <QButtonGroup>
#include <QRadioButton>

#include <initializer_list>

using ParamRecord::Group;

namespace {

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
    createButtonGroups();

    // Until the first distribution the page shows the second button of every group.
    m_values.choices.fill(1);
    m_values.adjustment.clear();

    m_ui->spin_1245->setRange(ParamRecord::kSpinLower, ParamRecord::kSpinUpper);
    m_ui->spin_1245->setBuddy(m_ui->edit_1242, ParamRecord::kSpinScale);
    showValues();
    applyEnablingRule();
    connectControls();
}

CPage_Param1::~CPage_Param1() = default;

void CPage_Param1::createButtonGroups()
{
    const auto add = [this](Group group, std::initializer_list<QRadioButton *> buttons) {
        auto *buttonGroup = new QButtonGroup(this);
        int index = 0;
        for (QRadioButton *button : buttons)
            buttonGroup->addButton(button, index++);
        m_groups[static_cast<std::size_t>(group)] = buttonGroup;
    };
    add(Group::AutoForwardStandby, {m_ui->radio_1049, m_ui->radio_1013});
    add(Group::FeedKey, {m_ui->radio_1067, m_ui->radio_1019});
    add(Group::PowerOnCheck, {m_ui->radio_1069, m_ui->radio_1021});
    add(Group::CentronicsTiming, {m_ui->radio_1070, m_ui->radio_1025});
    add(Group::NInitReset, {m_ui->radio_1017, m_ui->radio_1237});
    add(Group::RibbonNearEnd, {m_ui->radio_1024, m_ui->radio_1235, m_ui->radio_1236});
    add(Group::PlugAndPlay, {m_ui->radio_1014, m_ui->radio_1015});
    add(Group::LabelEndHandling, {m_ui->radio_1018, m_ui->radio_1023});
    add(Group::PrePeel, {m_ui->radio_1020, m_ui->radio_1022});
    add(Group::BackFeedSpeed, {m_ui->radio_1009, m_ui->radio_1026});
    add(Group::CutSpeed, {m_ui->radio_1071, m_ui->radio_1027});
}

void CPage_Param1::connectControls()
{
    for (std::size_t i = 0; i < ParamRecord::kGroupCount; ++i) {
        const auto group = static_cast<Group>(i);
        connect(m_groups[i], &QButtonGroup::idClicked, this,
                [this, group](int) { onRadioClicked(group); });
    }
    connect(m_ui->edit_1242, &QLineEdit::textChanged, this, &CPage_Param1::onAdjustmentTextChanged);
    connect(m_ui->spin_1245, &SpinControl::stepped, this, &CPage_Param1::onSpinStepped);
}

QButtonGroup *CPage_Param1::buttonGroup(Group group) const
{
    return m_groups[static_cast<std::size_t>(group)];
}

void CPage_Param1::LoadFromImage(const SettingsImage &image)
{
    m_values = ParamRecord::decode(image);
    applyEnablingRule();
    showValues();
    m_keptAdjustment = KeptText(ParamRecord::adjustmentBytes(image), PageText::bytes(m_ui->edit_1242->text()));
}

void CPage_Param1::StoreToImage(SettingsImage &image)
{
    takeValuesFromControls();
    ParamRecord::encode(m_values, image);
    if (const auto kept = m_keptAdjustment.bytesFor(m_values.adjustment))
        ParamRecord::putAdjustmentBytes(image, *kept);
}

void CPage_Param1::showValues()
{
    for (std::size_t i = 0; i < ParamRecord::kGroupCount; ++i) {
        const auto group = static_cast<Group>(i);
        const int index = m_values.choices[i];
        if (ParamRecord::isSelection(group, index))
            buttonGroup(group)->button(index)->setChecked(true);
        else
            clearSelection(buttonGroup(group));
    }
    // A new text runs the edit filter, which emits dataCheck().
    m_ui->edit_1242->setText(PageText::shown(m_values.adjustment));
}

void CPage_Param1::takeValuesFromControls()
{
    for (std::size_t i = 0; i < ParamRecord::kGroupCount; ++i) {
        const int checked = m_groups[i]->checkedId();
        if (checked >= 0)
            m_values.choices[i] = checked;
    }
    m_values.adjustment = PageText::bytes(m_ui->edit_1242->text());
}

void CPage_Param1::applyEnablingRule()
{
    const bool enabled = m_values.choice(Group::AutoForwardStandby) != 0;
    for (QWidget *control : std::initializer_list<QWidget *>{m_ui->label_1269, m_ui->edit_1242,
                                                             m_ui->spin_1245, m_ui->label_1273})
        control->setEnabled(enabled);
}

void CPage_Param1::onRadioClicked(Group group)
{
    emit dataCheck();
    if (group == Group::AutoForwardStandby) {
        takeValuesFromControls();
        applyEnablingRule();
    }
}

void CPage_Param1::onAdjustmentTextChanged(const QString &text)
{
    QLineEdit *edit = m_ui->edit_1242;
    // Replacing the text changes it again: this handler then runs nested on the new text.
    if (const auto replacement = ParamRecord::filterAdjustment(PageText::bytes(text), edit->hasFocus()))
        edit->setText(PageText::shown(*replacement));
    emit dataCheck();
}

void CPage_Param1::onSpinStepped(int position)
{
    m_ui->edit_1242->setText(PageText::shown(ParamRecord::spinStepText(position)));
}
