#pragma once

#include "app/ActivationToken.h"
#include "host/CommandHost.h"
#include "menu/CIconMenu.h"

#include <QDialog>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>

class Accelerators;
class CPage_IP;
class CPage_Issue;
class CPage_Param1;
class CPage_Set;
class CPrinterSelectDlg;
class CSendSelectDlg;
class HelpWindow;
class QAction;
class QLabel;
class QStatusBar;
class QTabWidget;
class QToolBar;
class SettingsPage;

namespace Ui {
class CSetbridgeDlg;
}

// The main window: menu, toolbar, the four setting pages on their tabs and the status bar. It
// holds the settings images and the selected printer and ends only through the exit sequence or
// the printer selection. Each command is one action, made by the menu from the menu table and
// shared by the toolbar and the accelerators; its triggered signal runs the handler below, and
// its enabled state is the command's.
class CSetbridgeDlg : public QDialog, public CommandHost
{
    Q_OBJECT

public:
    struct Services
    {
        UserPrompts &prompts;
        Spooler &spooler;
        SettingsLocation settingsLocation;  // "setting", and where the file dialogs start
        QString helpPath;                  // the help document
    };

    explicit CSetbridgeDlg(const Services &services, QWidget *parent = nullptr);
    ~CSetbridgeDlg() override;

    // Runs the opening sequence, then shows the window and runs its own loop until the exit
    // sequence or a printer selection ends it, unless the start-up selection already ended it.
    int DoModal();
    // The opening sequence. False when the start-up printer selection ended the window.
    bool OnInitDialog();

    // Command handlers.
    void OnLoadSettings();
    SaveResult OnSaveSettings() override;
    int OnSendSettings() override;
    void OnFactorySettings();
    using CommandHost::OnSwitchPrinter;
    void OnSwitchPrinter(SwitchReason reason) override;
    bool OnExit();
    // The session ends: "setting" takes the collected pages now, without a question. False when
    // it could not be written (said on standard error). Before the image was read at opening
    // there is nothing to keep, and the file is left alone.
    bool StoreForSessionEnd();
    void OnTestPrint();
    void OnHeadCheck();
    void OnHelpContents();
    void OnAbout();
    void OnDataCheck() override;
    void SelectTab(int index);
    void ShowFirstTab() override;

    // CommandHost.
    SettingsImages &images() override { return m_images; }
    void CollectImage() override;
    void DistributeImage() override;
    void ResetToFactory() override;
    SelectedPrinter &selectedPrinter() override { return m_printer; }
    void showPrinterInStatusBar(const QString &name, const QString &connection) override;
    void setSwitchPrinterEnabled(bool enabled) override;
    void endMainWindow() override;
    void terminateProgram(int exitCode) override;
    bool hasEnded() const override { return m_ended; }
    UserPrompts &prompts() override { return m_services.prompts; }
    Spooler &spooler() override { return m_services.spooler; }
    QWidget *window() override { return this; }
    SettingsLocation settingsLocation() const override { return m_services.settingsLocation; }

    // What tests and the application look at.
    bool isEnded() const { return m_ended; }
    QAction *commandAction(int command) const { return m_menu.action(command); }
    bool isCommandEnabled(int command) const;
    void setTerminateHandler(std::function<void(int)> handler) { m_terminate = std::move(handler); }
    QTabWidget *tabs() const;
    // The page of tab `index`, made first if it was not yet (pages 2 to 4 are made once the
    // window has been painted, or when first needed).
    SettingsPage *page(int index);
    CIconMenu &menu() { return m_menu; }
    QToolBar *toolBar() const { return m_toolBar; }
    QAction *toolAction(int buttonId) const;  // the command's action that the button shows
    QString statusPane(int pane) const;
    CPrinterSelectDlg &printerSelectDlg() { return *m_printerSelectDlg; }
    CSendSelectDlg &sendSelectDlg() { return *m_sendSelectDlg; }

    // Restores the window if minimised and brings it to the front (a second start asked for it,
    // handing over the desktop's activation token when it had one).
    void bringToFront(const ActivationToken &token = {});

protected:
    void accept() override {}  // Enter does nothing
    void reject() override {}  // Escape does nothing
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void centreOnScreen();
    void buildMenu();
    void connectCommands();
    void buildAccelerators();
    void locateHelp();
    void buildToolBar();
    void buildStatusBar();
    void buildTabs();
    void OnTabChange(int index);
    void focusInto(QWidget *page);
    void buildPage(int index);
    void buildRemainingPages();

    Services m_services;
    std::unique_ptr<Ui::CSetbridgeDlg> m_ui;
    CIconMenu m_menu;
    CPrinterSelectDlg *m_printerSelectDlg;
    CSendSelectDlg *m_sendSelectDlg;
    // The four pages in tab order, null until made, and the widgets their tabs hold (a page
    // made later goes into its tab's holder).
    std::array<SettingsPage *, 4> m_pages{};
    std::array<QWidget *, 4> m_tabHolders{};
    bool m_imageDistributed = false;
    bool m_remainingPagesScheduled = false;
    QString m_strHelpPath;
    SelectedPrinter m_printer;
    SettingsImages m_images;
    QToolBar *m_toolBar = nullptr;
    QStatusBar *m_statusBar = nullptr;
    std::array<QLabel *, 2> m_panes{};
    Accelerators *m_accelerators = nullptr;
    HelpWindow *m_helpWindow = nullptr;
    std::function<void(int)> m_terminate;
    bool m_selectingTab = false;
    bool m_ended = false;
};
