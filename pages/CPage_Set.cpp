#include "CPage_Set.h"

#include "DecimalText.h"
#include "FineFieldFilter.h"
#include "PageText.h"
#include "SpinControl.h"
#include "ui_CPage_Set.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>

namespace {

template <typename Control>
Control *controlNamed(QWidget *page, const char *kind, int id)
{
    auto *control = page->findChild<Control *>(QStringLiteral("%1_%2").arg(kind).arg(id));
    Q_ASSERT(control);
    return control;
}

bool isListNotification(QEvent::Type type)
{
    return type == QEvent::FocusIn || type == QEvent::FocusOut || type == QEvent::Show
        || type == QEvent::Hide;
}

}  // namespace

CPage_Set::CPage_Set(QWidget *parent)
    : SettingsPage(parent)
    , m_ui(std::make_unique<Ui::CPage_Set>())
{
    m_ui->setupUi(this);
    for (std::size_t index = 0; index < m_rows.size(); ++index)
        bindRow(index);
}

CPage_Set::~CPage_Set() = default;

void CPage_Set::bindRow(std::size_t index)
{
    Row &row = m_rows[index];
    row.field = &FineFields::kRows[index];
    const FineField &field = *row.field;

    row.edit = controlNamed<QLineEdit>(this, "edit", field.editId);
    row.spin = controlNamed<SpinControl>(this, "spin", field.spinId);
    row.spin->setRange(field.spinLower, field.spinUpper);
    row.spin->setBuddy(row.edit, field.step == FineStep::Tenth ? 0.1 : 1.0);
    if (field.direction) {
        row.direction = controlNamed<QComboBox>(this, "combo", field.direction->listId);
        watchDirectionList(row.direction);
    }

    connect(row.edit, &QLineEdit::textChanged, this, [this, &row] { filterEdit(row); });
    connect(row.spin, &SpinControl::stepped, this,
            [this, &row](int position) { showSpinPosition(row, position); });
}

// Every notification of a direction list counts as a change: a choice, the list opening or
// closing, the focus arriving or leaving.
void CPage_Set::watchDirectionList(QComboBox *list)
{
    connect(list, &QComboBox::activated, this, &SettingsPage::dataCheck);
    connect(list, &QComboBox::highlighted, this, &SettingsPage::dataCheck);
    list->installEventFilter(this);
    list->view()->window()->installEventFilter(this);  // the drop-down's popup
}

bool CPage_Set::eventFilter(QObject *watched, QEvent *event)
{
    if (isListNotification(event->type())) {
        for (const Row &row : m_rows) {
            if (row.direction
                && (watched == row.direction || watched == row.direction->view()->window())) {
                emit dataCheck();
                break;
            }
        }
    }
    return SettingsPage::eventFilter(watched, event);
}

// Runs on every change of the edit's text. A replacement changes the text again and so runs
// this nested before the outer run signals.
void CPage_Set::filterEdit(const Row &row)
{
    const FineField &field = *row.field;
    const QString text = row.edit->text();
    const auto replacement = FilterFineText(PageText::bytes(text), row.edit->hasFocus(),
                                            field.longestText, field.upperText, field.lowerText);
    if (replacement) {
        const QString replaced = PageText::shown(*replacement);
        if (replaced != text)
            row.edit->setText(replaced);
    }
    emit dataCheck();
}

void CPage_Set::showSpinPosition(const Row &row, int position)
{
    if (row.field->step == FineStep::Tenth)
        row.edit->setText(QString::fromStdString(DecimalText::formatOneDecimal(position * 0.1)));
    else
        row.edit->setText(QString::number(position));
}

FineTexts CPage_Set::takeTexts() const
{
    FineTexts texts;
    for (std::size_t index = 0; index < m_rows.size(); ++index) {
        const Row &row = m_rows[index];
        if (row.direction)
            texts[index].direction = row.direction->currentText().toStdString();
        texts[index].value = PageText::bytes(row.edit->text());
    }
    return texts;
}

void CPage_Set::showTexts(const FineTexts &texts)
{
    for (std::size_t index = 0; index < m_rows.size(); ++index) {
        const Row &row = m_rows[index];
        if (row.direction)
            row.direction->setCurrentIndex(row.direction->findText(QString::fromStdString(texts[index].direction)));
        row.edit->setText(PageText::shown(texts[index].value));
    }
}

void CPage_Set::LoadFromImage(const SettingsImage &image)
{
    showTexts(FineRecord::Decode(image));
    const FineTexts shown = takeTexts();
    for (std::size_t row = 0; row < m_rows.size(); ++row)
        m_kept[row] = KeptText(FineRecord::ValueBytes(image, row), shown[row].value);
}

void CPage_Set::StoreToImage(SettingsImage &image)
{
    const FineTexts texts = takeTexts();
    FineRecord::Encode(texts, image);
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        if (const auto kept = m_kept[row].bytesFor(texts[row].value))
            FineRecord::PutValueBytes(image, row, *kept);
    }
}
