#include "app/CSetbridgeDlg.h"

#include "app/Accelerators.h"
#include "app/CAboutDlg.h"
#include "app/DesktopActivation.h"
#include "app/HelpWindow.h"
#include "app/TabSwitchFilter.h"
#include "commands/ExitSequence.h"
#include "commands/PrinterSwitch.h"
#include "commands/SendSettings.h"
#include "commands/ServiceCommands.h"
#include "commands/SettingsFileCommands.h"
#include "host/UserPrompts.h"
#include "menu/CommandPicture.h"
#include "menu/Pictures.h"
#include "pages/CPage_IP.h"
#include "pages/CPage_Issue.h"
#include "pages/CPage_Param1.h"
#include "pages/CPage_Set.h"
#include "printer/CPrinterSelectDlg.h"
#include "printer/CSendSelectDlg.h"
#include "res/MenuTable.h"
#include "res/Strings.h"
#include "settings/AutoSettings.h"
#include "text/VisibleText.h"
#include "ui_CSetbridgeDlg.h"

#include <QAction>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

struct TabEntry
{
    const char *caption;
    int picture;
};

// Tab index -> caption and picture; picture 3 is not used.
constexpr std::array<TabEntry, 4> kTabs{{
    {Str::kTabParam, 2},
    {Str::kTabFine, 0},
    {Str::kTabIp, 1},
    {Str::kTabIssue, 4},
}};

// Dialog 102 is 315 x 260 dialog units; its pages 300 x 205 (1.5 px per unit).
constexpr int kWindowWidth = 472;
constexpr QSize kTabControlSize(457, 337);
constexpr QSize kPageSize(450, 308);

}  // namespace

CSetbridgeDlg::CSetbridgeDlg(const Services &services, QWidget *parent)
    : QDialog(parent)
    , m_services(services)
    , m_ui(std::make_unique<Ui::CSetbridgeDlg>())
    , m_printerSelectDlg(new CPrinterSelectDlg(services.spooler, services.prompts, this))
    , m_sendSelectDlg(new CSendSelectDlg(this))
    , m_terminate([](int exitCode) { std::exit(exitCode); })
{
    // A top-level window of its own, not a dialog: the desktop gives it a task-bar entry, a
    // caption with the system menu, a minimise box and no maximise box (its size is fixed).
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_QuitOnClose, false);
    connect(m_sendSelectDlg, &CSendSelectDlg::dataCheck, this, &CSetbridgeDlg::OnDataCheck);
}

CSetbridgeDlg::~CSetbridgeDlg()
{
    // The children outlive this part of the object: nothing they emit while they are torn down
    // (a tab change as pages go, a focus change) may reach the handlers of a window that is gone.
    for (QObject *child : findChildren<QObject *>())
        disconnect(child, nullptr, this, nullptr);
    disconnect(&m_menu, nullptr, this, nullptr);
}

int CSetbridgeDlg::DoModal()
{
    if (!OnInitDialog())
        return QDialog::Accepted;
    // Not QDialog::exec(): that would announce the window as a modal dialog.
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    show();
    loop.exec();
    return result();
}

bool CSetbridgeDlg::OnInitDialog()
{
    m_ui->setupUi(this);
    buildMenu();
    locateHelp();
    setWindowIcon(Pictures::windowIcon());
    buildToolBar();
    buildStatusBar();
    m_printerSelectDlg->m_bStarted = 0;
    commandAction(ResId::kCmdSendSettings)->setEnabled(true);
    buildTabs();
    // Two hidden buttons of the window run the service commands too.
    connect(m_ui->button_1260, &QPushButton::clicked, this, &CSetbridgeDlg::OnTestPrint);
    connect(m_ui->button_1264, &QPushButton::clicked, this, &CSetbridgeDlg::OnHeadCheck);
    layout()->setSizeConstraint(QLayout::SetFixedSize);  // fixed frame: no resizing, no maximising
    centreOnScreen();

    SettingsFileCommands::ReadAutoSettings(*this);
    DistributeImage();

    OnSwitchPrinter();  // the start-up selection; it may end the window
    if (m_ended)
        return false;
    m_printerSelectDlg->m_bStarted = 1;
    focusInto(page(0));
    return true;
}

void CSetbridgeDlg::centreOnScreen()
{
    // Placed before it is shown: the start-up printer selection and its messages open over
    // where the window will appear, not over the screen's corner.
    adjustSize();
    move(screen()->availableGeometry().center() - rect().center());
}

void CSetbridgeDlg::buildMenu()
{
    m_menu.LoadMenu(ResId::kMainMenu);
    for (const MenuTable::Popup &popup : MenuTable::kPopups) {
        for (int i = 0; i < popup.count; ++i) {
            if (popup.items[i].bitmap >= 0)
                m_menu.ModifyODMenu(nullptr, popup.items[i].id, popup.items[i].bitmap);
        }
    }
    QMenuBar *menuBar = m_menu.attachTo(this);
    if (menuBar)
        menuBar->setNativeMenuBar(false);  // drawn here with its pictures, never by a global menu
    layout()->setMenuBar(menuBar);
    connectCommands();
    buildAccelerators();
}

void CSetbridgeDlg::connectCommands()
{
    const auto on = [this](int command, auto handler) {
        connect(commandAction(command), &QAction::triggered, this, handler);
    };
    on(ResId::kCmdLoadSettings, [this] { OnLoadSettings(); });
    on(ResId::kCmdSaveSettings, [this] { OnSaveSettings(); });
    on(ResId::kCmdSendSettings, [this] { OnSendSettings(); });
    on(ResId::kCmdFactorySettings, [this] { OnFactorySettings(); });
    on(ResId::kCmdSwitchPrinter, [this] { OnSwitchPrinter(); });
    on(ResId::kCmdExit, [this] { OnExit(); });
    on(ResId::kCmdShowParamTab, [this] { SelectTab(0); });
    on(ResId::kCmdShowFineTab, [this] { SelectTab(1); });
    on(ResId::kCmdShowIpTab, [this] { SelectTab(2); });
    on(ResId::kCmdShowIssueTab, [this] { SelectTab(3); });
    on(ResId::kCmdTestPrint, [this] { OnTestPrint(); });
    on(ResId::kCmdHeadCheck, [this] { OnHeadCheck(); });
    on(ResId::kCmdHelpContents, [this] { OnHelpContents(); });
    on(ResId::kCmdAbout, [this] { OnAbout(); });
}

void CSetbridgeDlg::buildAccelerators()
{
    m_accelerators = new Accelerators(this);
    for (const MenuTable::Accelerator &accelerator : MenuTable::kAccelerators)
        m_accelerators->add(QKeySequence(QString::fromLatin1(accelerator.keys)), commandAction(accelerator.id));
}

void CSetbridgeDlg::locateHelp()
{
    m_strHelpPath = m_services.helpPath;
    if (!QFileInfo::exists(m_strHelpPath))
        commandAction(ResId::kCmdHelpContents)->setEnabled(false);  // F1 is then without effect too
}

void CSetbridgeDlg::buildToolBar()
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("toolbar_%1").arg(ResId::kToolBar));
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setFocusPolicy(Qt::NoFocus);
    for (const MenuTable::ToolButton &button : MenuTable::kToolbar) {
        if (button.id == 0) {
            m_toolBar->addSeparator();
            continue;
        }
        // The button shows the menu's own action, with its enabled state and its handler; the
        // action's picture answers the toolbar with the button's own drawing.
        QAction *action = commandAction(button.command);
        action->setIcon(CommandPicture::make(action->icon(), Pictures::load(Pictures::toolbarPicture(button.id))));
        action->setToolTip(text(button.tooltip));
        action->setIconText(text(button.tooltip));
        m_toolBar->addAction(action);
        m_toolBar->widgetForAction(action)->setObjectName(QStringLiteral("tool_%1").arg(button.id));
    }
    auto *mainLayout = qobject_cast<QBoxLayout *>(layout());
    mainLayout->insertWidget(0, m_toolBar);
}

void CSetbridgeDlg::buildStatusBar()
{
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("statusbar_%1").arg(ResId::kStatusBar));
    m_statusBar->setSizeGripEnabled(false);
    for (QLabel *&pane : m_panes) {
        pane = new QLabel(m_statusBar);
        pane->setTextFormat(Qt::PlainText);  // printer names and connections come from the spooler
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
    }
    // Pane 0 takes three fifths of the bar's width as created; pane 1 the rest.
    m_panes[0]->setFixedWidth(kWindowWidth / 5 * 3);
    m_panes[1]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);  // long texts are cut, not widening
    m_statusBar->addWidget(m_panes[0]);
    m_statusBar->addWidget(m_panes[1], 1);
    layout()->addWidget(m_statusBar);
}

void CSetbridgeDlg::buildTabs()
{
    QTabWidget *tabWidget = m_ui->tab_1000;
    tabWidget->tabBar()->setFocusPolicy(Qt::StrongFocus);  // takes the focus when clicked
    tabWidget->setFixedSize(kTabControlSize);
    // The four tabs share one row of the control's width, as the original tab control does, each
    // wide enough for its whole caption.
    tabWidget->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 4px; }"));
    // The first page now; the other three hold an empty widget until they are made.
    for (std::size_t index = 0; index < kTabs.size(); ++index) {
        QWidget *holder = new QWidget;
        auto *holderLayout = new QVBoxLayout(holder);
        holderLayout->setContentsMargins(0, 0, 0, 0);
        holderLayout->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_tabHolders[index] = holder;
        tabWidget->addTab(holder, Pictures::load(Pictures::tabPicture(kTabs[index].picture)), text(kTabs[index].caption));
    }
    buildPage(0);
    tabWidget->setCurrentIndex(0);
    new TabSwitchFilter(tabWidget);  // no page change by Ctrl+Tab or the wheel
    connect(tabWidget, &QTabWidget::currentChanged, this, &CSetbridgeDlg::OnTabChange);
}

namespace {

// The page of tab `index`.
std::unique_ptr<SettingsPage> makePage(int index)
{
    switch (index) {
    case 0: return std::make_unique<CPage_Param1>();
    case 1: return std::make_unique<CPage_Set>();
    case 2: return std::make_unique<CPage_IP>();
    default: return std::make_unique<CPage_Issue>();
    }
}

}  // namespace

void CSetbridgeDlg::buildPage(int index)
{
    const auto slot = static_cast<std::size_t>(index);
    if (m_pages.at(slot))
        return;
    std::unique_ptr<SettingsPage> made = makePage(index);
    made->setFixedSize(kPageSize);
    connect(made.get(), &SettingsPage::dataCheck, this, &CSetbridgeDlg::OnDataCheck);
    m_pages[slot] = made.get();
    m_tabHolders[slot]->layout()->addWidget(made.release());  // the holder owns it now
    // A page made after the image was handed out shows the image it would have been given.
    if (m_imageDistributed)
        m_pages[slot]->LoadFromImage(m_images.current);
}

void CSetbridgeDlg::buildRemainingPages()
{
    for (int index = 0; index < static_cast<int>(m_pages.size()); ++index)
        buildPage(index);
}

bool CSetbridgeDlg::event(QEvent *event)
{
    // The first paint shows the window; the pages not on view are made right after it.
    if (event->type() == QEvent::Paint && !m_remainingPagesScheduled) {
        m_remainingPagesScheduled = true;
        QTimer::singleShot(0, this, &CSetbridgeDlg::buildRemainingPages);
    }
    return QDialog::event(event);
}

QTabWidget *CSetbridgeDlg::tabs() const
{
    return m_ui->tab_1000;
}

SettingsPage *CSetbridgeDlg::page(int index)
{
    buildPage(index);
    return m_pages.at(static_cast<std::size_t>(index));
}

QString CSetbridgeDlg::statusPane(int pane) const
{
    return m_panes.at(static_cast<std::size_t>(pane))->text();
}

bool CSetbridgeDlg::isCommandEnabled(int command) const
{
    const QAction *action = commandAction(command);
    return action && action->isEnabled();
}

QAction *CSetbridgeDlg::toolAction(int buttonId) const
{
    for (const MenuTable::ToolButton &button : MenuTable::kToolbar) {
        if (button.id == buttonId && button.id != 0)
            return commandAction(button.command);
    }
    return nullptr;
}

// --- The images and the pages ---------------------------------------------------------------

void CSetbridgeDlg::DistributeImage()
{
    // A page not yet made takes the image when it is.
    m_imageDistributed = true;
    for (SettingsPage *settingsPage : m_pages) {
        if (settingsPage)
            settingsPage->LoadFromImage(m_images.current);
    }
}

void CSetbridgeDlg::CollectImage()
{
    // Every page writes its fields, as it would have shown them, made or not.
    buildRemainingPages();
    for (SettingsPage *settingsPage : m_pages)
        settingsPage->StoreToImage(m_images.current);
}

void CSetbridgeDlg::ResetToFactory()
{
    m_images.current = SettingsImage::factory();
    DistributeImage();
    SelectTab(0);
    prompts().message(this, text(Str::kFactoryShown), UserPrompts::Icon::Information, UserPrompts::Buttons::Ok);
    OnDataCheck();
}

void CSetbridgeDlg::OnFactorySettings()
{
    SettingsCommands::OnFactorySettings(*this);
}

void CSetbridgeDlg::OnDataCheck()
{
    // The send command is available at all times; nothing ever disables it.
    commandAction(ResId::kCmdSendSettings)->setEnabled(true);
}

bool CSetbridgeDlg::OnExit()
{
    return SettingsCommands::OnExit(*this);
}

bool CSetbridgeDlg::StoreForSessionEnd()
{
    if (!m_imageDistributed)
        return true;
    const AutoSettings::WriteOutcome outcome = SettingsCommands::StoreAtSessionEnd(*this);
    if (!outcome.written)
        std::fprintf(stderr, "sbq740: the settings could not be stored: %s can't be written\n", outcome.file.c_str());
    return outcome.written;
}

void CSetbridgeDlg::OnLoadSettings()
{
    SettingsFileCommands::OnLoadSettings(*this);
}

CommandHost::SaveResult CSetbridgeDlg::OnSaveSettings()
{
    return SettingsFileCommands::OnSaveSettings(*this);
}

// --- The printer ---------------------------------------------------------------------------

void CSetbridgeDlg::OnSwitchPrinter(SwitchReason reason)
{
    PrinterSwitch::run(*this, *m_printerSelectDlg, reason);
}

int CSetbridgeDlg::OnSendSettings()
{
    return SendSettings::commandResult(SendSettings::run(*this, *m_sendSelectDlg));
}

void CSetbridgeDlg::OnTestPrint()
{
    ServiceCommands::OnTestPrint(*this);
}

void CSetbridgeDlg::OnHeadCheck()
{
    ServiceCommands::OnHeadCheck(*this);
}

void CSetbridgeDlg::showPrinterInStatusBar(const QString &name, const QString &connection)
{
    // A pane may be too narrow for a long name or device URI: its tooltip shows it whole.
    const auto show = [](QLabel *pane, const char *format, const QString &value) {
        const QString visible = QString::fromStdString(VisibleText::Escaped(value.toStdString()));
        pane->setText(text(format).replace(QStringLiteral("%s"), visible));
        pane->setToolTip(Qt::convertFromPlainText(pane->text(), Qt::WhiteSpaceNoWrap));
    };
    show(m_panes[0], Str::kPanePrinter, name);
    show(m_panes[1], Str::kPaneConnection, connection);
}

void CSetbridgeDlg::setSwitchPrinterEnabled(bool enabled)
{
    commandAction(ResId::kCmdSwitchPrinter)->setEnabled(enabled);
}

// --- Ending ---------------------------------------------------------------------------------

void CSetbridgeDlg::endMainWindow()
{
    m_ended = true;
    QDialog::done(QDialog::Accepted);
}

void CSetbridgeDlg::terminateProgram(int exitCode)
{
    m_ended = true;
    m_terminate(exitCode);
}

void CSetbridgeDlg::closeEvent(QCloseEvent *event)
{
    // The close box, Alt+F4 and the window menu's Close: the exit sequence decides.
    if (!m_ended)
        OnExit();
    if (m_ended)
        event->accept();
    else
        event->ignore();
}

void CSetbridgeDlg::bringToFront(const ActivationToken &token)
{
    DesktopActivation::raise(this, token);
}

// --- Tabs -------------------------------------------------------------------------------------

void CSetbridgeDlg::SelectTab(int index)
{
    buildPage(index);
    m_selectingTab = true;
    tabs()->setCurrentIndex(index);
    m_selectingTab = false;
    if (!tabs()->tabBar()->hasFocus())
        focusInto(page(index));
}

void CSetbridgeDlg::ShowFirstTab()
{
    m_selectingTab = true;
    tabs()->setCurrentIndex(0);
    m_selectingTab = false;
}

void CSetbridgeDlg::OnTabChange(int index)
{
    buildPage(index);  // before the tab is painted
    if (m_selectingTab)
        return;
    if (!tabs()->tabBar()->hasFocus())
        focusInto(page(index));
}

void CSetbridgeDlg::focusInto(QWidget *target)
{
    // The first control of the page, in tab order, that takes the focus.
    QWidget *candidate = target->nextInFocusChain();
    for (int guard = 0; candidate && candidate != target && guard < 1000; ++guard) {
        if (target->isAncestorOf(candidate) && candidate->isEnabled() && candidate->isVisibleTo(target)
            && (candidate->focusPolicy() & Qt::TabFocus)) {
            candidate->setFocus(Qt::TabFocusReason);
            return;
        }
        candidate = candidate->nextInFocusChain();
    }
}

// --- Help and About -----------------------------------------------------------------------------

void CSetbridgeDlg::OnHelpContents()
{
    if (!m_helpWindow)
        m_helpWindow = new HelpWindow(this);
    if (!m_helpWindow->open(m_strHelpPath))
        prompts().message(this, text(Str::kHelpNotFound), UserPrompts::Icon::Warning, UserPrompts::Buttons::Ok);
}

void CSetbridgeDlg::OnAbout()
{
    CAboutDlg about(this);
    about.exec();
}
