#include "ScriptedDialogs.h"

void ScriptedPrinterSelectDlg::waitForUser()
{
    ++m_timesShown;
    m_shownSelection = selectedRow();
    m_shownRows.clear();
    for (const PrinterList::Row &row : printerList().rows())
        m_shownRows.append(QString::fromStdString(row.name));

    while (!m_steps.isEmpty()) {
        const Step step = m_steps.takeFirst();
        switch (step.kind) {
        case Step::Cancel:
            reject();
            return;
        case Step::OkOnRow:
            selectRow(step.row);
            break;
        case Step::OkWithNothingSelected:
            selectRow(std::nullopt);
            break;
        case Step::OkOnShownSelection:
            break;
        }
        OnOK();
        if (result() != QDialog::Rejected)
            return;
    }
    reject();  // the user closes the dialog
}

int ScriptedSendSelectDlg::run()
{
    ++m_timesRun;
    m_nSel = m_choices.isEmpty() ? -1 : m_choices.takeFirst();
    return m_nSel;
}
