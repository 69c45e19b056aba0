#include "pages/CPage_Set.h"

#include "fields/FieldTable.h"
#include "pages/PageControls.h"
#include "pages/SpinControl.h"
#include "ui_CPage_Set.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>

namespace {

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
    std::vector<const Fields::Field *> numbers;
    for (const Fields::Field *field : Fields::ofPage(Fields::PageId::Fine)) {
        if (field->kind == Fields::Kind::Number)
            numbers.push_back(field);
    }
    m_rows.resize(numbers.size());
    for (std::size_t index = 0; index < numbers.size(); ++index)
        bindRow(m_rows[index], *numbers[index]);
}

CPage_Set::~CPage_Set() = default;

void CPage_Set::bindRow(Row &row, const Fields::Field &field)
{
    row.field = &field;
    const Fields::Spin &spin = field.number->spin;
    row.edit = PageControls::find<QLineEdit>(this, field.control);
    row.spin = PageControls::find<SpinControl>(this, spin.control);
    row.spin->setRange(spin.lower, spin.upper);
    row.spin->setBuddy(row.edit, spin.scale);
    if ((row.directionField = Fields::directionOf(field))) {
        row.direction = PageControls::find<QComboBox>(this, row.directionField->control);
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
    const QString text = row.edit->text();
    if (const auto replacement = row.field->filter(text.toStdString(), row.edit->hasFocus())) {
        const QString replaced = QString::fromStdString(*replacement);
        if (replaced != text)
            row.edit->setText(replaced);
    }
    emit dataCheck();
}

void CPage_Set::showSpinPosition(const Row &row, int position)
{
    row.edit->setText(QString::fromStdString(row.field->number->spin.stepText(position)));
}

Fields::FieldValue CPage_Set::directionValue(const Row &row)
{
    const int index = row.direction->currentIndex();
    return {index >= 0 ? std::optional<std::size_t>(index) : std::nullopt, {}};
}

Fields::FieldValue CPage_Set::numberValue(const Row &row)
{
    return {std::nullopt, row.edit->text().toStdString()};
}

void CPage_Set::LoadFromImage(const SettingsImage &image)
{
    for (Row &row : m_rows) {
        if (row.direction) {
            const std::optional<std::size_t> index = row.directionField->decode(image).choice;
            row.direction->setCurrentIndex(index ? int(*index) : -1);
        }
        row.edit->setText(QString::fromStdString(row.field->decode(image).text));
    }
    for (Row &row : m_rows)
        row.loaded = row.field->load(image, numberValue(row));
}

void CPage_Set::StoreToImage(SettingsImage &image)
{
    for (const Row &row : m_rows) {
        if (row.direction)
            row.directionField->encode(directionValue(row), image);
        row.field->encode(numberValue(row), image, &row.loaded);
    }
}
