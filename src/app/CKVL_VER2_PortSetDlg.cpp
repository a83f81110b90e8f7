#include "app/CKVL_VER2_PortSetDlg.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QVBoxLayout>

#include <algorithm>

#include "app/CKVL_ControlApp.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "ui/CPictureButton.h"

namespace kvl {

namespace {

constexpr int kHelpIconSide = 24;
// Wide enough that the longest status (the permission advice) takes a few lines, not a column.
constexpr int kStatusMinWidth = 440;

// Built-in captions, shown where the language file has no text.
constexpr char kTitle[] = "Port Settings";
constexpr char kHelpCaption[] = "Help";
constexpr char kSpeedCaption[] = "Speed";
constexpr char kPortCaption[] = "Port";
constexpr char kStatusCaption[] = "Status";
constexpr char kTestCaption[] = "Test";
constexpr char kOkCaption[] = "OK";
constexpr char kCancelCaption[] = "Cancel";

} // namespace

CKVL_VER2_PortSetDlg::CKVL_VER2_PortSetDlg(CKVL_ControlApp &app, QWidget *parent)
    : QDialog(parent), m_app(app)
{
    setObjectName(QStringLiteral("portSettingsWindow"));
    setModal(false);
    m_model = std::make_unique<CPortSettingsModel>(app.Commands(), app.Settings(), app.BusPortAccess());
    BuildLayout();
    m_model->SetDevices(AvailableDevices());
    m_model->Open();
    FillPorts();
    SelectStored();
    ApplyTexts();
    ShowStatus();
    connect(&app, &CKVL_ControlApp::languageChanged, this, [this](int) {
        ApplyTexts();
        ShowStatus();
    });
}

CKVL_VER2_PortSetDlg::~CKVL_VER2_PortSetDlg() = default;

std::vector<CPortSettingsModel::Device> CKVL_VER2_PortSetDlg::AvailableDevices()
{
    std::vector<CPortSettingsModel::Device> devices;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        devices.push_back({info.systemLocation().toStdString(), info.description().toStdString()});
    return devices;
}

void CKVL_VER2_PortSetDlg::SetDevices(const std::vector<CPortSettingsModel::Device> &devices)
{
    const QString current = m_ports->currentText();
    m_model->SetDevices(devices);
    FillPorts();
    m_ports->setCurrentText(current);
}

void CKVL_VER2_PortSetDlg::BuildLayout()
{
    m_speeds = new QComboBox(this);
    m_speeds->setObjectName(QStringLiteral("speedList"));
    for (int speed : CPortSettingsModel::kSpeeds)
        m_speeds->addItem(QString::number(speed), speed);
    m_ports = new QComboBox(this);
    m_ports->setObjectName(QStringLiteral("portList"));
    // A device the system does not list (or a path of one's own) can be typed in.
    m_ports->setEditable(true);
    m_ports->setInsertPolicy(QComboBox::NoInsert);
    m_ports->lineEdit()->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));
    m_test = new QPushButton(this);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("portStatus"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setMinimumWidth(kStatusMinWidth);
    m_portCaption = new QLabel(this);
    m_speedCaption = new QLabel(this);
    m_statusCaption = new QLabel(this);

    auto *form = new QFormLayout;
    form->addRow(m_portCaption, m_ports);
    form->addRow(m_speedCaption, m_speeds);
    auto *statusRow = new QHBoxLayout;
    statusRow->addWidget(m_status, 1);
    statusRow->addWidget(m_test, 0, Qt::AlignTop);
    form->addRow(m_statusCaption, statusRow);

    m_help = new CPictureButton(QStringLiteral("help"), QString(), this, kHelpIconSide);
    m_help->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_help->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_helpCaption = new QLabel(this);
    m_ok = new QPushButton(this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_help);
    buttons->addWidget(m_helpCaption);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(m_test, &QPushButton::clicked, this, &CKVL_VER2_PortSetDlg::PressTest);
    connect(m_ok, &QPushButton::clicked, this, &CKVL_VER2_PortSetDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CKVL_VER2_PortSetDlg::reject);
    connect(m_help, &QToolButton::clicked, this, [this] { m_app.ShowHelp(QStringLiteral("port")); });
}

void CKVL_VER2_PortSetDlg::FillPorts()
{
    m_ports->clear();
    for (const CPortSettingsModel::Entry &entry : m_model->Entries())
        m_ports->addItem(QString::fromStdString(entry.label), QString::fromStdString(entry.path));
}

void CKVL_VER2_PortSetDlg::SelectStored()
{
    m_ports->setCurrentText(QString::fromStdString(m_model->SelectedPortText()));
    m_speeds->setCurrentIndex(m_speeds->findData(m_model->SelectedSpeed()));
}

void CKVL_VER2_PortSetDlg::ShowStatus()
{
    m_status->setText(QString::fromStdString(m_model->StatusText()));
    GrowToFit();
}

bool CKVL_VER2_PortSetDlg::event(QEvent *event)
{
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::LayoutRequest)
        GrowToFit();
    return handled;
}

void CKVL_VER2_PortSetDlg::GrowToFit()
{
    // Before the first showing the window takes its size from the layout when it shows.
    if (!isVisible())
        return;
    QLayout *top = layout();
    top->activate();
    QSize wanted = size().expandedTo(minimumSizeHint());
    if (top->hasHeightForWidth())
        wanted.setHeight(std::max(wanted.height(), top->totalHeightForWidth(wanted.width())));
    if (wanted != size())
        resize(wanted);
}

void CKVL_VER2_PortSetDlg::ApplyTexts()
{
    const CLanguageTexts &texts = m_app.Settings().Texts();
    CWindowTexts::Apply(texts,
                        {{this, kSection, kSection, kTitle},
                         {m_helpCaption, "IDC_STATIC_HELP", kSection, kHelpCaption},
                         {m_speedCaption, "IDC_STATIC_COMMUNICATE_SPEED", kSection, kSpeedCaption},
                         {m_portCaption, "IDC_STATIC_ACCOM_PORT_NUM", kSection, kPortCaption},
                         {m_statusCaption, "IDC_STATIC_COMMUNICATE_STATUS", kSection, kStatusCaption},
                         {m_test, "IDC_TEST", kSection, kTestCaption},
                         {m_ok, "IDOK", kSection, kOkCaption},
                         {m_cancel, "IDCANCEL", kSection, kCancelCaption}},
                        [this](const QString &title) { return m_app.DecorateTitle(title); });
    CWindowTexts::ApplyTooltips(texts, {{m_help, kHelpTooltip},
                                        {m_test, kTestTooltip},
                                        {m_speeds, kSpeedTooltip},
                                        {m_ports, kPortTooltip},
                                        {m_status, kStatusTooltip}});
}

void CKVL_VER2_PortSetDlg::PressTest()
{
    const QString chosen = m_ports->currentText();
    m_model->Test(chosen.toStdString(), m_speeds->currentData().toInt());
    // A typed path may have become an entry of its own.
    FillPorts();
    m_ports->setCurrentText(chosen);
    ShowStatus();
}

void CKVL_VER2_PortSetDlg::accept()
{
    if (m_model->Ok())
        Q_EMIT portChanged();
    hide();
    setResult(QDialog::Accepted);
}

void CKVL_VER2_PortSetDlg::reject()
{
    m_model->Cancel();
    hide();
    setResult(QDialog::Rejected);
}

void CKVL_VER2_PortSetDlg::showEvent(QShowEvent *event)
{
    // The first showing follows the opening, which already read the store.
    if (m_shownOnce) {
        m_model->SetDevices(AvailableDevices());
        m_model->Reshow();
        FillPorts();
        SelectStored();
        ShowStatus();
    }
    m_shownOnce = true;
    ApplyTexts();
    QDialog::showEvent(event);
    GrowToFit();
}

} // namespace kvl
