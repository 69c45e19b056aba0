#include "printer/CSendSelectDlg.h"

#include "ui_CSendSelectDlg.h"

#include <QButtonGroup>

CSendSelectDlg::CSendSelectDlg(QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::CSendSelectDlg>())
    , m_group(new QButtonGroup(this))
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    // One group, indexed in the order the buttons were laid out; the last two stay hidden and so
    // are never checked.
    const QAbstractButton *dataCheckButtons[] = {m_ui->radio_1248, m_ui->radio_1043, m_ui->radio_1252};
    QAbstractButton *buttons[] = {m_ui->radio_1248, m_ui->radio_1043, m_ui->radio_1252,
                                  m_ui->radio_1253, m_ui->radio_1250, m_ui->radio_1251};
    int index = 0;
    for (QAbstractButton *button : buttons)
        m_group->addButton(button, index++);
    m_ui->radio_1250->hide();
    m_ui->radio_1251->hide();
    for (const QAbstractButton *button : dataCheckButtons)
        connect(button, &QAbstractButton::clicked, this, &CSendSelectDlg::dataCheck);

    connect(m_ui->button_1, &QPushButton::clicked, this, &CSendSelectDlg::accept);
    connect(m_ui->button_2, &QPushButton::clicked, this, &CSendSelectDlg::reject);
}

CSendSelectDlg::~CSendSelectDlg() = default;

int CSendSelectDlg::run()
{
    m_nSel = 0;
    checkIndex(m_nSel);
    m_ui->radio_1248->setFocus();
    exec();
    return m_nSel;
}

void CSendSelectDlg::accept()
{
    m_nSel = m_group->checkedId();
    QDialog::accept();
}

void CSendSelectDlg::reject()
{
    m_nSel = -1;
    QDialog::reject();
}

void CSendSelectDlg::checkIndex(int index)
{
    if (QAbstractButton *button = m_group->button(index))
        button->setChecked(true);
}
