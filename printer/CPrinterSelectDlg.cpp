#include "printer/CPrinterSelectDlg.h"

#include "res/Strings.h"
#include "spooler/Spooler.h"
#include "text/VisibleText.h"
#include "ui_CPrinterSelectDlg.h"

#include <QHeaderView>

namespace {

constexpr int kNameColumnWidth = 200;
constexpr int kConnectionColumnWidth = 90;

}  // namespace

CPrinterSelectDlg::CPrinterSelectDlg(Spooler &spooler, UserPrompts &prompts, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::CPrinterSelectDlg>())
    , m_spooler(spooler)
    , m_prompts(prompts)
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    QHeaderView *header = m_ui->list_1069->header();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionsClickable(false);
    header->resizeSection(0, kNameColumnWidth);
    header->resizeSection(1, kConnectionColumnWidth);

    connect(m_ui->button_1, &QPushButton::clicked, this, &CPrinterSelectDlg::OnOK);
    connect(m_ui->button_2, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->list_1069, &QTreeWidget::itemDoubleClicked, this, &CPrinterSelectDlg::onRowDoubleClicked);
}

CPrinterSelectDlg::~CPrinterSelectDlg() = default;

CPrinterSelectDlg::Outcome CPrinterSelectDlg::runModal()
{
    ++m_nSelections;
    m_ended = false;
    setResult(QDialog::Rejected);
    if (OnInitDialog())
        waitForUser();
    switch (result()) {
    case QDialog::Accepted:
        return Outcome::Ok;
    case kEndProgram:
        return Outcome::EndProgram;
    default:
        return Outcome::Cancel;
    }
}

void CPrinterSelectDlg::waitForUser()
{
    exec();
}

bool CPrinterSelectDlg::OnInitDialog()
{
    const PrinterListing listing = m_spooler.printers();
    m_list = PrinterList(listing.printers);
    m_nPrinterCount = m_list.count();
    if (m_nPrinterCount == 0) {
        // The Part's text; why the spooler listed nothing, where it said, unfolds below it.
        tell(Str::kNoUsablePrinter, UserPrompts::Icon::Warning, listing.error.reason);
        done(kEndProgram);
        return false;
    }
    fillList();
    selectRow(m_list.preselectedRow(m_strPrinterName));
    if (m_nPrinterCount == 1 && m_bStarted == 0)
        OnOK();
    return !m_ended;
}

void CPrinterSelectDlg::fillList()
{
    QTreeWidget *list = m_ui->list_1069;
    list->clear();
    const auto shown = [](const std::string &text) { return QString::fromStdString(VisibleText::Escaped(text)); };
    for (const PrinterList::Row &row : m_list.rows())
        list->addTopLevelItem(new QTreeWidgetItem(list, {shown(row.name), shown(row.connection)}));
}

void CPrinterSelectDlg::selectRow(std::optional<int> row)
{
    QTreeWidget *list = m_ui->list_1069;
    list->clearSelection();
    if (!row)
        return;
    if (QTreeWidgetItem *item = list->topLevelItem(*row)) {
        list->setCurrentItem(item);
        item->setSelected(true);
    }
}

std::optional<int> CPrinterSelectDlg::selectedRow() const
{
    const QList<QTreeWidgetItem *> selected = m_ui->list_1069->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return m_ui->list_1069->indexOfTopLevelItem(selected.first());
}

void CPrinterSelectDlg::OnOK()
{
    using Icon = UserPrompts::Icon;
    switch (m_list.confirm(selectedRow(), m_strPrinterName, m_strConnection)) {
    case PrinterList::Confirmation::NothingSelected:
        tell(Str::kNoPrinterSelected, Icon::Warning);
        return;
    case PrinterList::Confirmation::FileOnlyPrinter:
        tell(Str::kFileConnectionOnlyPrinter, Icon::Warning);
        done(kEndProgram);
        return;
    case PrinterList::Confirmation::FileChooseOther:
        tell(Str::kFileConnectionChooseOther, Icon::Information);
        return;
    case PrinterList::Confirmation::Accepted:
        accept();
        return;
    }
}

void CPrinterSelectDlg::onRowDoubleClicked()
{
    if (selectedRow())
        OnOK();
}

void CPrinterSelectDlg::done(int result)
{
    m_ended = true;
    QDialog::done(result);
}

void CPrinterSelectDlg::tell(const char *text, UserPrompts::Icon icon, const std::string &details)
{
    m_prompts.message(messageParent(), QString::fromUtf8(text), icon, UserPrompts::Buttons::Ok,
                      QString::fromStdString(VisibleText::Escaped(details)));
}

QWidget *CPrinterSelectDlg::messageParent()
{
    // Before the dialog shows (listing, automatic confirmation) messages belong to the main window.
    return isVisible() ? this : parentWidget();
}
