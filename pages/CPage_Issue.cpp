#include "CPage_Issue.h"

#include "ui_CPage_Issue.h"

#include <QEvent>

using IssueRecord::Combo;

namespace {

// Every combo box but the status auto-response reports its changes and focus moves.
bool reportsCommands(Combo combo)
{
    return combo != Combo::StatusReply;
}

}  // namespace

CPage_Issue::CPage_Issue(QWidget *parent)
    : SettingsPage(parent)
    , m_ui(std::make_unique<Ui::CPage_Issue>())
{
    m_ui->setupUi(this);
    for (QRadioButton *button : {m_ui->radio_1290, m_ui->radio_1237})
        connect(button, &QRadioButton::clicked, this, &CPage_Issue::onControlCommand);
    for (Combo combo : IssueRecord::kCombos) {
        if (!reportsCommands(combo))
            continue;
        QComboBox *box = comboOf(combo);
        connect(box, &QComboBox::activated, this, &CPage_Issue::onControlCommand);
        box->installEventFilter(this);
    }
    showState();
}

CPage_Issue::~CPage_Issue() = default;

void CPage_Issue::LoadFromImage(const SettingsImage &image)
{
    m_nStopMode = IssueRecord::ReadStopMode(image);
    for (Combo combo : IssueRecord::kCombos) {
        const std::string_view text = IssueRecord::ReadText(image, combo);
        textOf(combo) = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    showState();
}

void CPage_Issue::StoreToImage(SettingsImage &image)
{
    collectControls();
    IssueRecord::WriteStopMode(image, m_nStopMode);
    for (Combo combo : IssueRecord::kCombos)
        IssueRecord::WriteText(image, combo, textOf(combo).toStdString());
}

bool CPage_Issue::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        onControlCommand();
    return SettingsPage::eventFilter(watched, event);
}

void CPage_Issue::onControlCommand()
{
    emit dataCheck();
    collectControls();
}

// A stop-position byte that selects neither button keeps its value, so it is written back as read.
void CPage_Issue::collectControls()
{
    if (m_ui->radio_1290->isChecked())
        m_nStopMode = 0;
    else if (m_ui->radio_1237->isChecked())
        m_nStopMode = 1;
    for (Combo combo : IssueRecord::kCombos)
        textOf(combo) = comboOf(combo)->currentText();
}

void CPage_Issue::showState()
{
    m_ui->radio_1290->setChecked(m_nStopMode == 0);
    m_ui->radio_1237->setChecked(m_nStopMode == 1);
    if (m_nStopMode != 0 && m_nStopMode != 1) {
        for (QRadioButton *button : {m_ui->radio_1290, m_ui->radio_1237}) {
            button->setAutoExclusive(false);
            button->setChecked(false);
            button->setAutoExclusive(true);
        }
    }
    for (Combo combo : IssueRecord::kCombos) {
        QComboBox *box = comboOf(combo);
        box->setCurrentIndex(box->findText(textOf(combo), Qt::MatchExactly));
    }
}

QComboBox *CPage_Issue::comboOf(Combo combo) const
{
    switch (combo) {
    case Combo::Sensor: return m_ui->combo_1284;
    case Combo::Method: return m_ui->combo_1286;
    case Combo::Speed: return m_ui->combo_1287;
    case Combo::Cut: return m_ui->combo_1291;
    case Combo::TagRotation: return m_ui->combo_1288;
    case Combo::StatusReply: return m_ui->combo_1296;
    }
    return nullptr;
}

QString &CPage_Issue::textOf(Combo combo)
{
    switch (combo) {
    case Combo::Sensor: return m_strSensor;
    case Combo::Method: return m_strMethod;
    case Combo::Speed: return m_strSpeed;
    case Combo::Cut: return m_strCut;
    case Combo::TagRotation: return m_strTagRotation;
    case Combo::StatusReply: return m_strStatusReply;
    }
    return m_strStatusReply;
}
