#include "CPage_IP.h"

#include "ImageLayout.h"
#include "IpRecords.h"
#include "PageText.h"
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
{
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

    setTextMode(ClientIdTextMode::HoldsHex());
    showState();
    applyEnabling();
}

CPage_IP::~CPage_IP() = default;

void CPage_IP::LoadFromImage(const SettingsImage &image)
{
    m_nSocket = IpRecords::ReadChoice(image, IpRecords::kSocketFlag);
    m_strSocketPort = PageText::shown(IpRecords::ReadPortText(image));
    m_nDhcp = IpRecords::ReadChoice(image, IpRecords::kDhcpFlag);
    m_nInputType = IpRecords::ReadChoice(image, ImageLayout::kInputTypeByte);

    const bool hex = m_nInputType != 0;
    const std::string field = IpRecords::ReadClientIdField(image);
    m_strClientId = PageText::shown(ClientIdText::ShownFromField(field, hex));
    m_loadedClientId = ClientIdText::Loaded{field, m_strClientId.toStdString(), hex};
    setTextMode(hex);

    showState();
    m_keptPort = KeptText(image.slice(IpRecords::kPortDigits, IpRecords::kPortWidth),
                          PageText::bytes(m_ui->edit_1262->text()));
    m_ui->ip_1256->setValue(IpRecords::ReadOctets(image, ImageLayout::kIpRecord));
    m_ui->ip_1259->setValue(IpRecords::ReadOctets(image, ImageLayout::kGatewayRecord));
    m_ui->ip_1258->setValue(IpRecords::ReadOctets(image, ImageLayout::kSubnetRecord));
    applyEnabling();
}

void CPage_IP::StoreToImage(SettingsImage &image)
{
    collectControls();
    IpRecords::WriteOctets(image, ImageLayout::kIpRecord, m_ui->ip_1256->value());
    IpRecords::WriteOctets(image, ImageLayout::kGatewayRecord, m_ui->ip_1259->value());
    IpRecords::WriteOctets(image, ImageLayout::kSubnetRecord, m_ui->ip_1258->value());
    IpRecords::WriteChoice(image, IpRecords::kSocketFlag, m_nSocket);
    const std::string port = PageText::bytes(m_strSocketPort);
    IpRecords::WritePortText(image, m_keptPort.bytesFor(port).value_or(port));
    IpRecords::WriteChoice(image, IpRecords::kDhcpFlag, m_nDhcp);
    IpRecords::WriteChoice(image, ImageLayout::kInputTypeByte, m_nInputType);
    const bool hex = m_nInputType != 0;
    IpRecords::WriteClientIdField(image,
                                  ClientIdText::FieldToStore(m_loadedClientId, m_strClientId.toStdString(), hex));
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
    const auto replacement = IpRecords::PortBoxReplacement(PageText::bytes(port->text()), port->hasFocus());
    if (replacement)
        port->setText(PageText::shown(*replacement));
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
    if (hexClicked == ClientIdTextMode::HoldsHex())
        return;
    const std::string box = PageText::bytes(m_ui->edit_1265->text());
    const std::string converted = hexClicked ? ClientIdText::HexFromAsciiBox(box) : ClientIdText::AsciiFromHexBox(box);
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
    ClientIdTextMode::SetHoldsHex(holdsHex);
    m_ui->edit_1265->setValidator(holdsHex ? m_hexValidator : m_asciiValidator);
}

int CPage_IP::clientIdLimit() const
{
    const std::size_t limit = m_nInputType != 0 ? ClientIdText::kHexBoxDigits : ClientIdText::kAsciiBoxBytes;
    return static_cast<int>(limit);
}
