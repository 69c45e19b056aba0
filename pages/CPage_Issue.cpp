#include "pages/CPage_Issue.h"

#include "fields/FieldTable.h"
#include "pages/PageControls.h"
#include "ui_CPage_Issue.h"

#include <QEvent>

namespace {

// Every combo box but the status auto-response reports its changes and focus moves.
bool reportsCommands(const Fields::Field &field)
{
    return field.key != "issue.status_reply";
}

}  // namespace

CPage_Issue::CPage_Issue(QWidget *parent)
    : SettingsPage(parent)
    , m_ui(std::make_unique<Ui::CPage_Issue>())
    , m_stopModeField(Fields::named("issue.stop_mode"))
{
    m_ui->setupUi(this);
    bindLists();
    for (QRadioButton *button : {m_ui->radio_1290, m_ui->radio_1237})
        connect(button, &QRadioButton::clicked, this, &CPage_Issue::onControlCommand);
    for (const List &list : m_lists) {
        if (!reportsCommands(*list.field))
            continue;
        connect(list.box, &QComboBox::activated, this, &CPage_Issue::onControlCommand);
        list.box->installEventFilter(this);
    }
    showState();
}

CPage_Issue::~CPage_Issue() = default;

void CPage_Issue::bindLists()
{
    QString *const texts[] = {&m_strSensor, &m_strMethod, &m_strSpeed, &m_strCut, &m_strTagRotation, &m_strStatusReply};
    std::size_t next = 0;
    for (const Fields::Field *field : Fields::ofPage(Fields::PageId::Issue)) {
        if (field->control.kind == "combo")
            m_lists.push_back({field, PageControls::find<QComboBox>(this, field->control), texts[next++]});
    }
}

void CPage_Issue::LoadFromImage(const SettingsImage &image)
{
    const Fields::FieldValue stopMode = m_stopModeField.decode(image);
    m_nStopMode = stopMode.choice ? static_cast<int>(*stopMode.choice) : -1;
    m_loadedStopMode = m_stopModeField.load(image, stopMode);
    for (const List &list : m_lists) {
        const std::optional<std::size_t> index = list.field->decode(image).choice;
        *list.text = index ? PageControls::qText(list.field->choices.at(*index).caption) : QString();
    }
    showState();
}

void CPage_Issue::StoreToImage(SettingsImage &image)
{
    collectControls();
    const std::optional<std::size_t> stopMode =
        m_nStopMode >= 0 ? std::optional<std::size_t>(m_nStopMode) : std::nullopt;
    m_stopModeField.encode({stopMode, {}}, image, &m_loadedStopMode);
    for (const List &list : m_lists)
        list.field->encode({list.field->choiceCaptioned(list.text->toStdString()), {}}, image);
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
    for (const List &list : m_lists)
        *list.text = list.box->currentText();
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
    for (const List &list : m_lists)
        list.box->setCurrentIndex(list.box->findText(*list.text, Qt::MatchExactly));
}
