#include "CSendSelectDlg.h"

CSendSelectDlg::CSendSelectDlg(QWidget *parent)
    : QDialog(parent)
{
}

int CSendSelectDlg::run()
{
    m_nSel = -1;
    return m_nSel;
}
