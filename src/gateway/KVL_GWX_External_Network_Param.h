#pragma once
// KVL_GWX_External_Network_Param: the external network page of the network unit window. The
// fieldbus the unit is built for (read from the unit online, chosen offline for a file) and the
// settings of that fieldbus: CC-Link speed, occupied stations and multiple, and version;
// DeviceNet speed; EtherNet/IP addresses, DHCP and speed. Only the chosen fieldbus' fields are
// shown. Edits go into the window's configuration at once; capacityChanged tells the window when
// the fieldbus capacity may have changed. User-interface thread.
#include <QWidget>

#include <array>
#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;

namespace kvl {

class CLanguageTexts;
struct CGatewayConfig;

class KVL_GWX_External_Network_Param : public QWidget {
    Q_OBJECT
public:
    static constexpr char kSection[] = "IDD_KVL_GWX_EXTERNAL_NETWORK_PARAM";
    static constexpr int kFixedOccupation = 5;   // "4,1", the only choice of CC-Link V1.10
    static constexpr int kVersion110 = 0;

    // `ask`: the OK / Cancel question before CC-Link V1.10 fixes the occupation (true for OK).
    KVL_GWX_External_Network_Param(CGatewayConfig &config, bool offline, std::function<bool(const std::string &)> ask,
                                   QWidget *parent = nullptr);

    void ApplyTexts(const CLanguageTexts &texts);
    // The configuration as the fields show it; only the chosen fieldbus' fields are visible.
    void RefreshView();
    // Whether each address field shows the address the configuration holds (false while one holds
    // a partial address being typed).
    bool AddressesShown() const;
    // The user picked a CC-Link version (a file line does the same through the configuration).
    void ChooseVersion(int position);

    QComboBox *TypeList() const { return m_typeList; }
    QLineEdit *TypeBox() const { return m_typeBox; }
    QComboBox *CcLinkSpeedList() const { return m_ccSpeed; }
    QComboBox *OccupationList() const { return m_occupation; }
    QComboBox *VersionList() const { return m_version; }
    QComboBox *DeviceNetSpeedList() const { return m_dnSpeed; }
    QLineEdit *AddressEdit(int which) const { return m_addresses[static_cast<size_t>(which)]; }
    QComboBox *DhcpList() const { return m_dhcp; }
    QComboBox *EthernetSpeedList() const { return m_ethSpeed; }

Q_SIGNALS:
    void capacityChanged();

private:
    QComboBox *AddList(const QStringList &entries, const char *name, int row, QLabel *&label, QLabel **unit = nullptr);
    void TypeChosen(int position);
    void AddressEdited(int which, const QString &text);

    CGatewayConfig &m_config;
    bool m_offline;
    std::function<bool(const std::string &)> m_ask;
    QString m_versionQuestion;
    QComboBox *m_typeList = nullptr;
    QLineEdit *m_typeBox = nullptr;
    QLabel *m_typeLabel = nullptr;
    QComboBox *m_ccSpeed = nullptr;
    QLabel *m_ccSpeedLabel = nullptr;
    QLabel *m_ccSpeedUnit = nullptr;
    QComboBox *m_occupation = nullptr;
    QLabel *m_occupationLabel = nullptr;
    QLabel *m_occupationUnit = nullptr;
    QComboBox *m_version = nullptr;
    QLabel *m_versionLabel = nullptr;
    QComboBox *m_dnSpeed = nullptr;
    QLabel *m_dnSpeedLabel = nullptr;
    QLabel *m_dnSpeedUnit = nullptr;
    std::array<QLineEdit *, 3> m_addresses{};
    std::array<QLabel *, 3> m_addressLabels{};
    QComboBox *m_dhcp = nullptr;
    QLabel *m_dhcpLabel = nullptr;
    QComboBox *m_ethSpeed = nullptr;
    QLabel *m_ethSpeedLabel = nullptr;
};

} // namespace kvl
