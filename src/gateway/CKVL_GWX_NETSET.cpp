#include "gateway/CKVL_GWX_NETSET.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>

#include <algorithm>

#include "common/CWindowTexts.h"
#include "config/CLanguageTexts.h"
#include "gateway/CGatewayConfig.h"
#include "gateway/CGatewayRules.h"
#include "gateway/CKVL_GWX_COLOR_SETTING.h"

namespace kvl {

namespace {

struct Entry {
    const char *key;
    const char *builtIn;
};
constexpr std::array<Entry, 8> kDeviceEntries{{{"ID_COMBO_NULL", "NULL"},
                                               {"ID_COMBO_MDA", "MDA"},
                                               {"ID_COMBO_MDB", "MDB"},
                                               {"ID_COMBO_MDC", "MDC"},
                                               {"ID_COMBO_XMDC", "MDC-X"},
                                               {"ID_COMBO_YMDA", "MDA-Y"},
                                               {"ID_COMBO_ZMDA", "MDA-Z"},
                                               {"ID_COMBO_ANY", "ANY"}}};
constexpr std::array<Entry, 4> kModeEntries{{{"ID_COMBO_INPUTMODE_IO", "IO"},
                                             {"ID_COMBO_INPUTMODE_SIMPLE", "SIMPLE"},
                                             {"ID_COMBO_INPUTMODE_HALF", "HALF"},
                                             {"ID_COMBO_INPUTMODE_FULL", "FULL"}}};
// The colours of the configuration, in the unit settings file's order: NULL, MDA, MDB, MDC, ANY,
// IO, SIMPLE, HALF, FULL, MDC-X, MDA-Y, MDA-Z.
constexpr std::array<int, 8> kDeviceColour{0, 1, 2, 3, 9, 10, 11, 4};
constexpr int kFirstModeColour = 5;

} // namespace

CKVL_GWX_NETSET::CKVL_GWX_NETSET(CGatewayConfig &config, QWidget *parent) : QWidget(parent), m_config(config)
{
    setObjectName(QStringLiteral("gwxNetsetPage"));
    auto *grid = new QGridLayout(this);
    constexpr int kColumns = 2;   // two blocks of eight stations side by side
    constexpr int kRowsPerBlock = kStations / kColumns;
    for (int station = 0; station < kStations; ++station) {
        const auto s = static_cast<size_t>(station);
        m_labels[s] = new QLabel(QStringLiteral("ID:") + QString::number(station, 16).toUpper(), this);
        m_labels[s]->installEventFilter(this);
        m_devices[s] = new QComboBox(this);
        m_modes[s] = new QComboBox(this);
        m_devices[s]->setObjectName(QStringLiteral("device%1").arg(station));
        m_modes[s]->setObjectName(QStringLiteral("inputMode%1").arg(station));
        for (const Entry &entry : kDeviceEntries)
            m_devices[s]->addItem(QString::fromLatin1(entry.builtIn));
        for (const Entry &entry : kModeEntries)
            m_modes[s]->addItem(QString::fromLatin1(entry.builtIn));
        const int row = station % kRowsPerBlock;
        const int column = (station / kRowsPerBlock) * 3;
        grid->addWidget(m_labels[s], row, column);
        grid->addWidget(m_devices[s], row, column + 1);
        grid->addWidget(m_modes[s], row, column + 2);
        connect(m_devices[s], &QComboBox::activated, this, [this, s](int position) {
            m_config.devices[s] = static_cast<uint8_t>(CGatewayRules::DeviceCodes()[static_cast<size_t>(position)]);
            Paint(m_devices[s], DeviceColourIndex(position));
            Q_EMIT stationsChanged();
        });
        connect(m_modes[s], &QComboBox::activated, this, [this, s](int position) {
            m_config.inputModes[s] = static_cast<uint8_t>(position);
            Paint(m_modes[s], InputModeColourIndex(position));
            Q_EMIT stationsChanged();
        });
    }
    grid->setRowStretch(kRowsPerBlock, 1);
    RefreshView();
}

int CKVL_GWX_NETSET::DeviceColourIndex(int position)
{
    return kDeviceColour[static_cast<size_t>(std::clamp(position, 0, 7))];
}

int CKVL_GWX_NETSET::InputModeColourIndex(int position)
{
    return kFirstModeColour + std::clamp(position, 0, 3);
}

bool CKVL_GWX_NETSET::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick &&
        std::find(m_labels.begin(), m_labels.end(), watched) != m_labels.end()) {
        Q_EMIT colourSettingsRequested();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CKVL_GWX_NETSET::ApplyTexts(const CLanguageTexts &texts)
{
    for (int station = 0; station < kStations; ++station) {
        const auto s = static_cast<size_t>(station);
        for (size_t i = 0; i < kDeviceEntries.size(); ++i)
            m_devices[s]->setItemText(static_cast<int>(i),
                                      CWindowTexts::Text(texts, kDeviceEntries[i].key, kSection,
                                                         QString::fromLatin1(kDeviceEntries[i].builtIn)));
        for (size_t i = 0; i < kModeEntries.size(); ++i)
            m_modes[s]->setItemText(static_cast<int>(i),
                                    CWindowTexts::Text(texts, kModeEntries[i].key, kSection,
                                                       QString::fromLatin1(kModeEntries[i].builtIn)));
    }
}

void CKVL_GWX_NETSET::RefreshView()
{
    for (int station = 0; station < kStations; ++station) {
        const auto s = static_cast<size_t>(station);
        const int device = CGatewayRules::PositionOf(CGatewayRules::DeviceCodes(), m_config.devices[s]);
        const int mode = m_config.inputModes[s] <= 3 ? m_config.inputModes[s] : 0;
        m_devices[s]->setCurrentIndex(device);
        m_modes[s]->setCurrentIndex(mode);
        Paint(m_devices[s], DeviceColourIndex(device));
        Paint(m_modes[s], InputModeColourIndex(mode));
    }
}

void CKVL_GWX_NETSET::Paint(QComboBox *list, int colourIndex)
{
    QPalette palette = list->palette();
    const QColor colour = CKVL_GWX_COLOR_SETTING::QColorOf(m_config.colours[static_cast<size_t>(colourIndex)]);
    palette.setColor(QPalette::Button, colour);
    palette.setColor(QPalette::Base, colour);
    list->setPalette(palette);
}

} // namespace kvl
