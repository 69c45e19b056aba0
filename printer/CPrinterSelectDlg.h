#pragma once

#include "host/UserPrompts.h"
#include "spooler/PrinterList.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <string>

class Spooler;
class QTreeWidgetItem;
namespace Ui {
class CPrinterSelectDlg;
}

// Dialog 152 "プリンタの選択": lists the printers of the supported model, preselects the current
// one, and refuses a printer connected to a file. The main window keeps one for the whole run.
class CPrinterSelectDlg : public QDialog
{
    Q_OBJECT

public:
    enum class Outcome {
        Ok,          // a printer was chosen: m_strPrinterName / m_strConnection
        Cancel,      // the user cancelled; the fields keep the last choice OK refused, if any
        EndProgram,  // no usable printer, or the only one connects to a file: exit code 1
    };

    CPrinterSelectDlg(Spooler &spooler, UserPrompts &prompts, QWidget *parent = nullptr);
    ~CPrinterSelectDlg() override;

    // Lists the printers anew and lets the user choose. A single printer is taken without asking
    // while m_bStarted is 0 (start-up).
    Outcome runModal();

    // How many times the dialog ran, to tell whether a command in between already chose.
    int selectionCount() const { return m_nSelections; }

    int m_bStarted = 0;
    int m_nPrinterCount = 0;        // rows of the last listing
    std::string m_strPrinterName;   // on entry the current printer, preselected
    std::string m_strConnection;

protected:
    // Waits in the dialog's modal loop until it ends. Tests answer here instead, through
    // selectRow(), OnOK() and reject().
    virtual void waitForUser();

    void OnOK();
    void selectRow(std::optional<int> row);
    std::optional<int> selectedRow() const;
    const PrinterList &printerList() const { return m_list; }

    void done(int result) override;

private:
    static constexpr int kEndProgram = 2;  // dialog result beside Accepted and Rejected

    // Lists, fills and preselects; confirms a single printer at start-up. False when that already
    // ended the dialog.
    bool OnInitDialog();
    void fillList();
    void onRowDoubleClicked();
    void tell(const char *text, UserPrompts::Icon icon, const std::string &details = {});
    QWidget *messageParent();

    std::unique_ptr<Ui::CPrinterSelectDlg> m_ui;
    Spooler &m_spooler;
    UserPrompts &m_prompts;
    PrinterList m_list;
    bool m_ended = false;
    int m_nSelections = 0;
};
