#pragma once

#include <QDialog>

#include <memory>

class QButtonGroup;
namespace Ui {
class CSendSelectDlg;
}

// Dialog 189 "プリンタへ送信": which group of settings to send. The main window keeps one for the
// whole run; it opens on "パラメータ設定値" every time.
class CSendSelectDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CSendSelectDlg(QWidget *parent = nullptr);
    ~CSendSelectDlg() override;

    // Runs the dialog: the chosen group's index 0..3 ("パラメータ設定値", "各種微調設定値",
    // "IPアドレス設定値", "発行制御設定値"), or -1 when cancelled.
    virtual int run();

    int m_nSel = 0;

    void accept() override;  // "送信": the checked button's index
    void reject() override;  // "ｷｬﾝｾﾙ", Escape, the close box: -1

signals:
    // The data-check command: the first three buttons send it when clicked, as the pages do.
    void dataCheck();

private:
    void checkIndex(int index);

    std::unique_ptr<Ui::CSendSelectDlg> m_ui;
    QButtonGroup *m_group;
};
