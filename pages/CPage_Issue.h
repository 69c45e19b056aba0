#pragma once

#include "IssueRecord.h"
#include "SettingsPage.h"

#include <QString>

#include <memory>

namespace Ui {
class CPage_Issue;
}
class QComboBox;

// The "発行制御設定" tab: the stop-position mode and six choices of how labels are issued, five of
// which can be left to the printer driver.
class CPage_Issue : public SettingsPage
{
    Q_OBJECT

public:
    explicit CPage_Issue(QWidget *parent = nullptr);
    ~CPage_Issue() override;

    void LoadFromImage(const SettingsImage &image) override;
    void StoreToImage(SettingsImage &image) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void collectControls();
    void showState();
    void onControlCommand();

    QComboBox *comboOf(IssueRecord::Combo combo) const;
    QString &textOf(IssueRecord::Combo combo);

    std::unique_ptr<Ui::CPage_Issue> m_ui;

    int m_nStopMode = 1;
    QString m_strSensor;
    QString m_strMethod;
    QString m_strSpeed;
    QString m_strCut;
    QString m_strTagRotation;
    QString m_strStatusReply;
};
