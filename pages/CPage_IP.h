#pragma once

#include "ClientIdText.h"
#include "KeptText.h"
#include "SettingsPage.h"

#include <QString>

#include <memory>
#include <optional>

namespace Ui {
class CPage_IP;
}
class QValidator;

// The "IPアドレス設定" tab: the printer's address, gateway and subnet mask, the socket port and its
// switch, the DHCP switch and the DHCP client ID, entered as ASCII text or as hex digits.
class CPage_IP : public SettingsPage
{
    Q_OBJECT

public:
    explicit CPage_IP(QWidget *parent = nullptr);
    ~CPage_IP() override;

    void LoadFromImage(const SettingsImage &image) override;
    void StoreToImage(SettingsImage &image) override;

private:
    void collectControls();
    void showState();
    void applyEnabling();

    void onPortTextChanged();
    void onClientIdTextChanged();
    void onSwitchClicked();
    void onInputTypeClicked(bool hexClicked);

    void showClientId(const QString &text);
    void setTextMode(bool holdsHex);
    int clientIdLimit() const;

    std::unique_ptr<Ui::CPage_IP> m_ui;
    QValidator *m_hexValidator = nullptr;
    QValidator *m_asciiValidator = nullptr;

    int m_nSocket = 0;
    QString m_strSocketPort;
    int m_nDhcp = 0;
    int m_nInputType = 1;
    QString m_strClientId;

    // The client ID as the last LoadFromImage found it; an unedited box stores it unchanged.
    std::optional<ClientIdText::Loaded> m_loadedClientId;
    KeptText m_keptPort;  // the port digits as the last LoadFromImage found them
};
