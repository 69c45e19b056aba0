#include "app/CAboutDlg.h"

#include "menu/Pictures.h"
#include "ui_CAboutDlg.h"

namespace {

// The icon is shown at the size of a large window icon, scaled down from the desktop icon.
constexpr int kLargeIconSize = 32;

}  // namespace

CAboutDlg::CAboutDlg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_ui(std::make_unique<Ui::CAboutDlg>())
{
    m_ui->setupUi(this);
    const QPixmap icon = Pictures::load(QStringLiteral("icon-48"));
    if (!icon.isNull())
        m_ui->programIcon->setPixmap(
            icon.scaled(kLargeIconSize, kLargeIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

CAboutDlg::~CAboutDlg() = default;
