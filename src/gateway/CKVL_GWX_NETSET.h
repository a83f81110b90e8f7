#pragma once
// CKVL_GWX_NETSET: the device assignment page of the network unit window. Sixteen stations
// ("ID:0" to "ID:F"), each with the kind of controller the unit expects there and the input mode
// in which it passes that controller's data to the fieldbus; every list is drawn in the colour of
// its entry. Choices go into the window's configuration at once (stationsChanged, for the
// saturation). A double click on a station label asks for the colour settings window.
// User-interface thread.
#include <QWidget>

#include <array>

class QComboBox;
class QLabel;

namespace kvl {

class CLanguageTexts;
struct CGatewayConfig;

class CKVL_GWX_NETSET : public QWidget {
    Q_OBJECT
public:
    static constexpr char kSection[] = "IDD_KVL_GWX_NETSETLIST";
    static constexpr int kStations = 16;

    CKVL_GWX_NETSET(CGatewayConfig &config, QWidget *parent = nullptr);

    void ApplyTexts(const CLanguageTexts &texts);
    // Lists and colours as the configuration holds them.
    void RefreshView();

    QComboBox *DeviceList(int station) const { return m_devices[static_cast<size_t>(station)]; }
    QComboBox *InputModeList(int station) const { return m_modes[static_cast<size_t>(station)]; }
    QLabel *StationLabel(int station) const { return m_labels[static_cast<size_t>(station)]; }
    // The index in the configuration's twelve colours of a device list position and of an input
    // mode position.
    static int DeviceColourIndex(int position);
    static int InputModeColourIndex(int position);

Q_SIGNALS:
    void stationsChanged();
    // A station label was double-clicked: the colour settings window is wanted.
    void colourSettingsRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Paint(QComboBox *list, int colourIndex);

    CGatewayConfig &m_config;
    std::array<QLabel *, kStations> m_labels{};
    std::array<QComboBox *, kStations> m_devices{};
    std::array<QComboBox *, kStations> m_modes{};
};

} // namespace kvl
