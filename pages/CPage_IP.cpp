#include "pages/CPage_IP.h"

#include "fields/FieldTable.h"
#include "fields/NetworkCodecs.h"
#include "pages/PageControls.h"
#include "pages/PageText.h"
#include "ui_CPage_IP.h"

#include <QRegularExpressionValidator>

#include <algorithm>

namespace {

// Text the client-ID box accepts while it holds ASCII text: characters that code page 932 can
// write (or that show a byte of the image), at most 16 bytes of them as CP932 counts.
class AsciiClientIdValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &) const override
    {
        const auto bytes = Cp932::FromShown(input.toStdString());
        const bool fits = bytes && bytes->size() <= ClientIdText::kAsciiBoxBytes;
        return fits ? Acceptable : Invalid;
    }
};

int indexOf(const Fields::FieldValue &value)
{
    return value.choice ? static_cast<int>(*value.choice) : -1;
}

Fields::FieldValue choiceValue(int index)
{
    return {index >= 0 ? std::optional<std::size_t>(index) : std::nullopt, {}};
}

Fields::FieldValue textValue(const QString &text)
{
    return {std::nullopt, text.toStdString()};
}

// Checks the button of `index` (0 or 1); any other index leaves both unchecked.
void showChoice(QRadioButton *first, QRadioButton *second, int index)
{
    first->setChecked(index == 0);
    second->setChecked(index == 1);
    if (index != 0 && index != 1) {
        for (QRadioButton *button : {first, second}) {
            button->setAutoExclusive(false);
            button->setChecked(false);
            button->setAutoExclusive(true);
        }
    }
}

// The index of the checked button; `current` when neither is checked, so a value read from a
// damaged image goes back as it came.
int checkedChoice(const QRadioButton *first, const QRadioButton *second, int current)
{
    if (first->isChecked())
        return 0;
    if (second->isChecked())
        return 1;
    return current;
}

}  // namespace

CPage_IP::CPage_IP(QWidget *parent)
    : SettingsPage(parent)
    , m_ui(std::make_unique<Ui::CPage_IP>())
    , m_socketField(Fields::named("ip.socket"))
    , m_portField(Fields::named("ip.port"))
    , m_dhcpField(Fields::named("ip.dhcp"))
    , m_inputTypeField(Fields::named("ip.client_id_input_type"))
    , m_clientIdField(Fields::named("ip.client_id"))
{
    for (const Fields::Field *field : Fields::ofPage(Fields::PageId::Ip)) {
        if (field->kind == Fields::Kind::Address)
            m_addressFields.push_back(field);
    }
    m_ui->setupUi(this);
    m_hexValidator = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]*")), this);
    m_asciiValidator = new AsciiClientIdValidator(this);
    m_ui->edit_1262->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));

    connect(m_ui->edit_1262, &QLineEdit::textChanged, this, &CPage_IP::onPortTextChanged);
    connect(m_ui->edit_1265, &QLineEdit::textChanged, this, &CPage_IP::onClientIdTextChanged);
    for (QRadioButton *button : {m_ui->radio_1263, m_ui->radio_1018, m_ui->radio_1264, m_ui->radio_1019})
        connect(button, &QRadioButton::clicked, this, &CPage_IP::onSwitchClicked);
    connect(m_ui->radio_1274, &QRadioButton::clicked, this, [this] { onInputTypeClicked(false); });
    connect(m_ui->radio_1266, &QRadioButton::clicked, this, [this] { onInputTypeClicked(true); });

    setTextMode(ClientIdTextMode::holdsHex());
    showState();
    applyEnabling();
}

CPage_IP::~CPage_IP() = default;

void CPage_IP::LoadFromImage(const SettingsImage &image)
{
    m_nSocket = indexOf(m_socketField.decode(image));
    m_strSocketPort = QString::fromStdString(m_portField.decode(image).text);
    m_nDhcp = indexOf(m_dhcpField.decode(image));
    m_nInputType = indexOf(m_inputTypeField.decode(image));
    m_strClientId = QString::fromStdString(m_clientIdField.decode(image).text);
    setTextMode(m_nInputType != 0);

    m_loadedSocket = m_socketField.load(image, choiceValue(m_nSocket));
    m_loadedDhcp = m_dhcpField.load(image, choiceValue(m_nDhcp));
    m_loadedInputType = m_inputTypeField.load(image, choiceValue(m_nInputType));
    m_loadedClientId = m_clientIdField.load(image, textValue(m_strClientId));
    showState();
    m_loadedPort = m_portField.load(image, textValue(m_ui->edit_1262->text()));
    showAddresses(image);
    applyEnabling();
}

// The input type goes first: the client ID is stored as the type the image then holds says.
void CPage_IP::StoreToImage(SettingsImage &image)
{
    collectControls();
    storeAddresses(image);
    m_socketField.encode(choiceValue(m_nSocket), image, &m_loadedSocket);
    m_portField.encode(textValue(m_strSocketPort), image, &m_loadedPort);
    m_dhcpField.encode(choiceValue(m_nDhcp), image, &m_loadedDhcp);
    m_inputTypeField.encode(choiceValue(m_nInputType), image, &m_loadedInputType);
    m_clientIdField.encode(textValue(m_strClientId), image, &m_loadedClientId);
}

void CPage_IP::showAddresses(const SettingsImage &image)
{
    for (const Fields::Field *field : m_addressFields) {
        const std::string shown = field->decode(image).text;
        PageControls::find<IpAddressEdit>(this, field->control)->setValue(Fields::addressOctets(shown));
    }
}

void CPage_IP::storeAddresses(SettingsImage &image) const
{
    for (const Fields::Field *field : m_addressFields) {
        const IpAddressEdit::Value octets = PageControls::find<IpAddressEdit>(this, field->control)->value();
        field->encode({std::nullopt, Fields::addressText(octets)}, image);
    }
}

void CPage_IP::collectControls()
{
    m_nSocket = checkedChoice(m_ui->radio_1263, m_ui->radio_1018, m_nSocket);
    m_strSocketPort = m_ui->edit_1262->text();
    m_nDhcp = checkedChoice(m_ui->radio_1264, m_ui->radio_1019, m_nDhcp);
    m_nInputType = checkedChoice(m_ui->radio_1274, m_ui->radio_1266, m_nInputType);
    m_strClientId = m_ui->edit_1265->text();
}

void CPage_IP::showState()
{
    showChoice(m_ui->radio_1263, m_ui->radio_1018, m_nSocket);
    m_ui->edit_1262->setText(m_strSocketPort);
    showChoice(m_ui->radio_1264, m_ui->radio_1019, m_nDhcp);
    showChoice(m_ui->radio_1274, m_ui->radio_1266, m_nInputType);
    showClientId(m_strClientId);
}

void CPage_IP::applyEnabling()
{
    m_ui->edit_1262->setEnabled(m_nSocket != 0);
    const bool dhcp = m_nDhcp != 0;
    for (QWidget *control : std::initializer_list<QWidget *>{m_ui->label_1275, m_ui->radio_1274, m_ui->radio_1266,
                                                             m_ui->label_1276, m_ui->edit_1265})
        control->setEnabled(dhcp);
}

void CPage_IP::onPortTextChanged()
{
    QLineEdit *port = m_ui->edit_1262;
    if (const auto replacement = m_portField.filter(port->text().toStdString(), port->hasFocus()))
        port->setText(QString::fromStdString(*replacement));
}

// The box's limit follows the input type; text already longer than the limit stays whole.
void CPage_IP::onClientIdTextChanged()
{
    QLineEdit *box = m_ui->edit_1265;
    box->setMaxLength(std::max(clientIdLimit(), static_cast<int>(box->text().size())));
}

void CPage_IP::onSwitchClicked()
{
    emit dataCheck();
    collectControls();
    applyEnabling();
}

void CPage_IP::onInputTypeClicked(bool hexClicked)
{
    emit dataCheck();
    collectControls();
    if (hexClicked == ClientIdTextMode::holdsHex())
        return;
    const std::string box = PageText::bytes(m_ui->edit_1265->text());
    const std::string converted = hexClicked ? ClientIdText::hexFromAsciiBox(box) : ClientIdText::asciiFromHexBox(box);
    m_strClientId = PageText::shown(converted);
    showState();
    setTextMode(hexClicked);
}

// Puts text into the client-ID box without cutting it to the box's limit.
void CPage_IP::showClientId(const QString &text)
{
    QLineEdit *box = m_ui->edit_1265;
    box->setMaxLength(std::max(clientIdLimit(), static_cast<int>(text.size())));
    box->setText(text);
}

// The program-wide flag and what the box accepts from the keyboard: hex digits in the case typed
// while it holds HEX text, CP932 text while it holds ASCII text.
void CPage_IP::setTextMode(bool holdsHex)
{
    ClientIdTextMode::setHoldsHex(holdsHex);
    m_ui->edit_1265->setValidator(holdsHex ? m_hexValidator : m_asciiValidator);
}

int CPage_IP::clientIdLimit() const
{
    const std::size_t limit = m_nInputType != 0 ? ClientIdText::kHexBoxDigits : ClientIdText::kAsciiBoxBytes;
    return static_cast<int>(limit);
}
