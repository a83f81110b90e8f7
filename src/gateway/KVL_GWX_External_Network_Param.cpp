#include "gateway/KVL_GWX_External_Network_Param.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include <algorithm>
#include <optional>

#include "common/CWindowTexts.h"
#include "config/CLanguageTexts.h"
#include "gateway/CGatewayConfig.h"
#include "gateway/CGatewayFieldRange.h"
#include "gateway/CGatewayRules.h"

namespace kvl {

namespace {

const QStringList kTypes{QStringLiteral("CC-Link"), QStringLiteral("DeviceNet"), QStringLiteral("EtherCAT"),
                         QStringLiteral("EtherNet/IP")};
enum TypePosition { kCcLink, kDeviceNet, kEtherCat, kEtherNetIp };
const QStringList kCcSpeeds{QStringLiteral("156k"), QStringLiteral("625k"), QStringLiteral("2.5M"),
                            QStringLiteral("5M"), QStringLiteral("10M")};
const QStringList kVersions{QStringLiteral("V1.10"), QStringLiteral("V2.00")};
const QStringList kDnSpeeds{QStringLiteral("125k"), QStringLiteral("250k"), QStringLiteral("500k"),
                            QStringLiteral("Autoband")};
const QStringList kEthSpeeds{QStringLiteral("Auto"), QStringLiteral("10HDX"), QStringLiteral("10FDX"),
                             QStringLiteral("100HDX"), QStringLiteral("100FDX")};
constexpr int kOctets = 4;

QStringList OccupationEntries()
{
    QStringList entries;
    for (const CGatewayRules::Occupation &o : CGatewayRules::OccupationTable())
        entries << QStringLiteral("%1,%2").arg(o.stations).arg(o.multiple);
    return entries;
}

CGatewayConfig::Octets &OctetsOf(CGatewayConfig &config, int which)
{
    return which == 0 ? config.ipAddress : which == 1 ? config.subnetMask : config.defaultGateway;
}

QString AddressText(const CGatewayConfig::Octets &octets)
{
    return QStringLiteral("%1.%2.%3.%4").arg(octets[0]).arg(octets[1]).arg(octets[2]).arg(octets[3]);
}

// The four octets of a typed address; nothing for a partial one.
std::optional<CGatewayConfig::Octets> OctetsOfText(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != kOctets)
        return std::nullopt;
    CGatewayConfig::Octets octets{};
    for (int i = 0; i < kOctets; ++i) {
        bool ok = false;
        octets[static_cast<size_t>(i)] = parts[i].toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    return octets;
}

} // namespace

KVL_GWX_External_Network_Param::KVL_GWX_External_Network_Param(CGatewayConfig &config, bool offline,
                                                               std::function<bool(const std::string &)> ask,
                                                               QWidget *parent)
    : QWidget(parent), m_config(config), m_offline(offline), m_ask(std::move(ask)),
      m_versionQuestion(QString::fromLatin1(CGatewayRules::kVersionQuestionBuiltIn))
{
    setObjectName(QStringLiteral("gwxNetworkPage"));
    auto *grid = new QGridLayout(this);
    m_typeList = AddList(kTypes, "typeList", 0, m_typeLabel);
    m_typeBox = new QLineEdit(this);
    m_typeBox->setObjectName(QStringLiteral("typeBox"));
    m_typeBox->setReadOnly(true);
    grid->addWidget(m_typeBox, 0, 1);
    m_ccSpeed = AddList(kCcSpeeds, "ccLinkSpeedList", 1, m_ccSpeedLabel, &m_ccSpeedUnit);
    m_occupation = AddList(OccupationEntries(), "occupationList", 2, m_occupationLabel, &m_occupationUnit);
    m_version = AddList(kVersions, "versionList", 3, m_versionLabel);
    m_dnSpeed = AddList(kDnSpeeds, "deviceNetSpeedList", 4, m_dnSpeedLabel, &m_dnSpeedUnit);
    const auto octet = QStringLiteral("(25[0-5]|2[0-4][0-9]|1?[0-9]?[0-9])");
    const QRegularExpression address(QStringLiteral("^%1(\\.%1){0,3}\\.?$").arg(octet));
    for (int which = 0; which < 3; ++which) {
        const auto w = static_cast<size_t>(which);
        m_addressLabels[w] = new QLabel(this);
        m_addresses[w] = new QLineEdit(this);
        m_addresses[w]->setObjectName(QStringLiteral("address%1").arg(which));
        m_addresses[w]->setValidator(new QRegularExpressionValidator(address, m_addresses[w]));
        grid->addWidget(m_addressLabels[w], 5 + which, 0);
        grid->addWidget(m_addresses[w], 5 + which, 1);
        connect(m_addresses[w], &QLineEdit::textEdited, this,
                [this, which](const QString &text) { AddressEdited(which, text); });
    }
    m_dhcp = AddList({QStringLiteral("Invalid"), QStringLiteral("Valid")}, "dhcpList", 8, m_dhcpLabel);
    m_ethSpeed = AddList(kEthSpeeds, "ethernetSpeedList", 9, m_ethSpeedLabel);
    grid->setRowStretch(10, 1);
    grid->setColumnStretch(3, 1);

    connect(m_typeList, &QComboBox::activated, this, &KVL_GWX_External_Network_Param::TypeChosen);
    connect(m_ccSpeed, &QComboBox::activated, this, [this](int position) { m_config.ccLinkSpeed = position + 1; });
    connect(m_occupation, &QComboBox::activated, this, [this](int position) {
        m_config.ccLinkStations = position;
        Q_EMIT capacityChanged();
    });
    connect(m_version, &QComboBox::activated, this, &KVL_GWX_External_Network_Param::ChooseVersion);
    connect(m_dnSpeed, &QComboBox::activated, this, [this](int position) { m_config.deviceNetSpeed = position; });
    connect(m_dhcp, &QComboBox::activated, this, [this](int position) { m_config.dhcp = position; });
    connect(m_ethSpeed, &QComboBox::activated, this, [this](int position) { m_config.ethernetSpeed = position + 1; });
    RefreshView();
}

QComboBox *KVL_GWX_External_Network_Param::AddList(const QStringList &entries, const char *name, int row,
                                                   QLabel *&label, QLabel **unit)
{
    auto *grid = static_cast<QGridLayout *>(layout());
    label = new QLabel(this);
    auto *list = new QComboBox(this);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(entries);
    grid->addWidget(label, row, 0);
    grid->addWidget(list, row, 1);
    if (unit) {
        *unit = new QLabel(this);
        grid->addWidget(*unit, row, 2);
    }
    return list;
}

void KVL_GWX_External_Network_Param::ApplyTexts(const CLanguageTexts &texts)
{
    CWindowTexts::Apply(texts, {{m_typeLabel, "IDC_ST_LINKSET", kSection, "Network type"},
                                {m_ccSpeedLabel, "IDC_ST_SPEED_CCLINK", kSection, "Speed"},
                                {m_ccSpeedUnit, "IDC_ST_SPEED_CCLINK_UNIT", kSection, "bps"},
                                {m_occupationLabel, "IDC_ST_MAX_POINT_CCLINK", kSection, "Occupation,Multiple"},
                                {m_occupationUnit, "IDC_MAX_POINT_CCLINK_UNIT", kSection, ""},
                                {m_versionLabel, "IDC_ST_CCLINK_VERSION", kSection, "Version"},
                                {m_dnSpeedLabel, "IDC_ST_SPEED_DEVICENET", kSection, "Speed"},
                                {m_dnSpeedUnit, "IDC_ST_SPEED_DEVICENET_UNIT", kSection, "bps"},
                                {m_addressLabels[0], "IDC_ST_IPADDRESS_ETHERNET", kSection, "IP Address"},
                                {m_addressLabels[1], "IDC_ST_SUBNETMASK_ETHERNET", kSection, "Subnet Mask"},
                                {m_addressLabels[2], "IDC_ST_DEFAULTGATEWAY_ETHERNET", kSection, "Default Gateway"},
                                {m_dhcpLabel, "IDC_ST_DHCP_ETHERNET", kSection, "DHCP"},
                                {m_ethSpeedLabel, "IDC_ST_SPEED_ETHERNET", kSection, "Speed"}});
    const QString invalid = CWindowTexts::Text(texts, "IDC_ST_UNIT_INVALID", kSection);
    const QString valid = CWindowTexts::Text(texts, "IDC_ST_UNIT_VALID", kSection);
    if (!invalid.isEmpty() && !valid.isEmpty()) {
        m_dhcp->setItemText(0, invalid);
        m_dhcp->setItemText(1, valid);
    }
    m_versionQuestion = CWindowTexts::Text(texts, "IDC_MSG_NETWORK_PARAM_ERROR_1", kSection,
                                           QString::fromLatin1(CGatewayRules::kVersionQuestionBuiltIn));
}

void KVL_GWX_External_Network_Param::RefreshView()
{
    const int type = CGatewayRules::PositionOf(CGatewayRules::FieldbusCodes(), m_config.fieldbusType);
    m_typeList->setCurrentIndex(type);
    m_typeBox->setText(kTypes.value(type));
    m_typeList->setVisible(m_offline);
    m_typeBox->setVisible(!m_offline);
    const bool ccLink = type == kCcLink;
    // CC-Link V1.10 knows only "4,1": offline it is chosen, online the list is locked when the unit has it.
    if (ccLink && m_offline && m_config.ccLinkVersion == kVersion110)
        m_config.ccLinkStations = kFixedOccupation;
    m_ccSpeed->setCurrentIndex(std::clamp(m_config.ccLinkSpeed - 1, 0, 4));
    m_occupation->setCurrentIndex(m_config.ccLinkStations);
    m_occupation->setEnabled(!(m_config.ccLinkVersion == kVersion110 && m_config.ccLinkStations == kFixedOccupation));
    m_version->setCurrentIndex(m_config.ccLinkVersion != 0 ? 1 : 0);
    m_dnSpeed->setCurrentIndex(std::clamp(m_config.deviceNetSpeed, 0, 3));
    for (size_t w = 0; w < m_addresses.size(); ++w)
        if (!m_addresses[w]->hasFocus())
            m_addresses[w]->setText(AddressText(OctetsOf(m_config, static_cast<int>(w))));
    m_dhcp->setCurrentIndex(m_config.dhcp != 0 ? 1 : 0);
    m_ethSpeed->setCurrentIndex(std::clamp(m_config.ethernetSpeed - 1, 0, 4));
    for (QWidget *w : {static_cast<QWidget *>(m_ccSpeed), static_cast<QWidget *>(m_ccSpeedLabel),
                       static_cast<QWidget *>(m_ccSpeedUnit), static_cast<QWidget *>(m_occupation),
                       static_cast<QWidget *>(m_occupationLabel), static_cast<QWidget *>(m_occupationUnit),
                       static_cast<QWidget *>(m_version), static_cast<QWidget *>(m_versionLabel)})
        w->setVisible(ccLink);
    for (QWidget *w : {static_cast<QWidget *>(m_dnSpeed), static_cast<QWidget *>(m_dnSpeedLabel),
                       static_cast<QWidget *>(m_dnSpeedUnit)})
        w->setVisible(type == kDeviceNet);
    const bool ethernet = type == kEtherNetIp;
    for (size_t w = 0; w < m_addresses.size(); ++w) {
        m_addresses[w]->setVisible(ethernet);
        m_addressLabels[w]->setVisible(ethernet);
    }
    for (QWidget *w : {static_cast<QWidget *>(m_dhcp), static_cast<QWidget *>(m_dhcpLabel),
                       static_cast<QWidget *>(m_ethSpeed), static_cast<QWidget *>(m_ethSpeedLabel)})
        w->setVisible(ethernet);
}

bool KVL_GWX_External_Network_Param::AddressesShown() const
{
    for (size_t w = 0; w < m_addresses.size(); ++w) {
        const std::optional<CGatewayConfig::Octets> shown = OctetsOfText(m_addresses[w]->text());
        if (!shown || *shown != OctetsOf(m_config, static_cast<int>(w)))
            return false;
    }
    return true;
}

void KVL_GWX_External_Network_Param::TypeChosen(int position)
{
    m_config.fieldbusType = CGatewayRules::FieldbusCodes()[static_cast<size_t>(std::clamp(position, 0, 3))];
    RefreshView();
    Q_EMIT capacityChanged();
}

void KVL_GWX_External_Network_Param::ChooseVersion(int position)
{
    const int type = CGatewayRules::PositionOf(CGatewayRules::FieldbusCodes(), m_config.fieldbusType);
    if (type == kCcLink && position == kVersion110 && m_config.ccLinkVersion != kVersion110) {
        if (m_ask && m_ask(m_versionQuestion.toStdString())) {
            m_config.ccLinkVersion = kVersion110;
            m_config.ccLinkStations = kFixedOccupation;
        }
    } else {
        m_config.ccLinkVersion = position;
    }
    RefreshView();
    Q_EMIT capacityChanged();
}

void KVL_GWX_External_Network_Param::AddressEdited(int which, const QString &text)
{
    const std::optional<CGatewayConfig::Octets> octets = OctetsOfText(text);
    // An address the unit cannot take (an octet over 255) is not kept; the last good one stays.
    if (!octets || !CGatewayFieldRange::AdmitsOctets(*octets))
        return;
    OctetsOf(m_config, which) = *octets;
}

} // namespace kvl
