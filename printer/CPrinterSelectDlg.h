#pragma once

#include <QDialog>

#include <string>

class Spooler;
class UserPrompts;

// Dialog 152 "プリンタの選択" (placeholder until the printer link is built).
class CPrinterSelectDlg : public QDialog
{
    Q_OBJECT

public:
    CPrinterSelectDlg(Spooler &spooler, UserPrompts &prompts, QWidget *parent = nullptr);

    int m_bStarted = 0;
    int m_nPrinterCount = 0;
    std::string m_strPrinterName;
    std::string m_strConnection;

private:
    Spooler &m_spooler;
    UserPrompts &m_prompts;
};
