#pragma once

#include "printer/CPrinterSelectDlg.h"
#include "printer/CSendSelectDlg.h"

#include <QList>
#include <QStringList>

#include <optional>

// The printer-selection dialog with a scripted user: the listing, preselection and automatic
// confirmation run as in the program; when the dialog would wait for the user, the steps below
// are played instead, without showing anything.
class ScriptedPrinterSelectDlg : public CPrinterSelectDlg
{
public:
    struct Step
    {
        enum Kind { OkOnShownSelection, OkOnRow, OkWithNothingSelected, Cancel } kind;
        int row = 0;
    };

    using CPrinterSelectDlg::CPrinterSelectDlg;

    void okOnShownSelection() { m_steps.append(Step{Step::OkOnShownSelection}); }
    void okOnRow(int row) { m_steps.append(Step{Step::OkOnRow, row}); }
    void okWithNothingSelected() { m_steps.append(Step{Step::OkWithNothingSelected}); }
    void cancel() { m_steps.append(Step{Step::Cancel}); }

    int timesShown() const { return m_timesShown; }
    std::optional<int> shownSelection() const { return m_shownSelection; }  // when last shown
    QStringList shownRows() const { return m_shownRows; }

protected:
    void waitForUser() override;

private:
    QList<Step> m_steps;
    int m_timesShown = 0;
    std::optional<int> m_shownSelection;
    QStringList m_shownRows;
};

// The send-selection dialog answering from a script: each run returns the next index (-1 for
// cancel); with nothing scripted it is cancelled.
class ScriptedSendSelectDlg : public CSendSelectDlg
{
public:
    void choose(int index) { m_choices.append(index); }
    int run() override;
    int timesRun() const { return m_timesRun; }

private:
    QList<int> m_choices;
    int m_timesRun = 0;
};
