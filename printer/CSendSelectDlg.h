#pragma once

#include <QDialog>

// Dialog 189 "プリンタへ送信" (placeholder until the printer link is built).
class CSendSelectDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CSendSelectDlg(QWidget *parent = nullptr);

    // Opens on "パラメータ設定値"; the chosen index 0..3, or -1 when cancelled.
    int run();

    int m_nSel = 0;

signals:
    void dataCheck();
};
