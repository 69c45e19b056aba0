#pragma once

#include "fields/ClientIdText.h"
#include "fields/Field.h"
#include "pages/SettingsPage.h"

#include <QString>

#include <memory>
#include <vector>

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
    void showAddresses(const SettingsImage &image);
    void storeAddresses(SettingsImage &image) const;
    void setTextMode(bool holdsHex);
    int clientIdLimit() const;

    std::unique_ptr<Ui::CPage_IP> m_ui;
    QValidator *m_hexValidator = nullptr;
    QValidator *m_asciiValidator = nullptr;

    // The page's fields. A choice holds the index of its checked button, -1 when none is.
    std::vector<const Fields::Field *> m_addressFields;  // the address, gateway and subnet mask
    const Fields::Field &m_socketField;
    const Fields::Field &m_portField;
    const Fields::Field &m_dhcpField;
    const Fields::Field &m_inputTypeField;
    const Fields::Field &m_clientIdField;

    int m_nSocket = 0;
    QString m_strSocketPort;
    int m_nDhcp = 0;
    int m_nInputType = 1;
    QString m_strClientId;

    // The fields as the last LoadFromImage found them; an unedited one goes back as its field
    // keeps it (the client ID unchanged, the port's bytes from 0x80 up, a choice of no button).
    Fields::Loaded m_loadedSocket;
    Fields::Loaded m_loadedPort;
    Fields::Loaded m_loadedDhcp;
    Fields::Loaded m_loadedInputType;
    Fields::Loaded m_loadedClientId;
};
