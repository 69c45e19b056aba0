#include "CPrinterSelectDlg.h"

CPrinterSelectDlg::CPrinterSelectDlg(Spooler &spooler, UserPrompts &prompts, QWidget *parent)
    : QDialog(parent)
    , m_spooler(spooler)
    , m_prompts(prompts)
{
}
