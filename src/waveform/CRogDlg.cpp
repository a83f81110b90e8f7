#include "waveform/CRogDlg.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleValidator>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "base/TextNumber.h"
#include "common/CFileChooser.h"
#include "common/CHelpKey.h"
#include "common/CMsgDlg.h"
#include "common/CWindowContext.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "config/CLanguageTexts.h"
#include "config/CSaveFailure.h"
#include "waveform/CRogChartProperty.h"
#include "waveform/CWaveChart.h"
#include "waveform/WaveModes.h"

namespace kvl {
namespace {

constexpr char kCommon[] = "Common";
constexpr int kLevelDecimals = 3;
// Column widths of the series list in percent of its width; the last column takes the rest.
constexpr std::array<int, 4> kColumnPercent = {10, 35, 25, 15};
constexpr int kPercent = 100;
const QColor kInvisibleText(128, 128, 128);

constexpr char kStartCaption[] = "Start";
constexpr char kStopCaption[] = "Stop";
constexpr char kFileFilter[] = "Data Files (*.csv)";
constexpr char kImageFilter[] = "PNG image (*.png);;PDF document (*.pdf)";

} // namespace

CRogDlg::CRogDlg(CWindowContext &context, int axis, const std::string &model, bool offline, QWidget *parent)
    : QDialog(parent), m_context(context), m_source(&context.Commands(), static_cast<uint8_t>(axis))
{
    setObjectName(QStringLiteral("waveWindow%1").arg(axis));
    setModal(false);
    CRogModel::Identity identity{axis, model, offline};
    m_model = std::make_unique<CRogModel>(m_source, context.Settings().Waveform(), context.Values(),
                                          context.Settings().Texts(), identity, context.Settings().MaxList(),
                                          MakeHooks());
    m_poll = new QTimer(this);
    m_poll->setObjectName(QStringLiteral("pollTimer"));
    m_poll->setSingleShot(true);
    connect(m_poll, &QTimer::timeout, this, &CRogDlg::OnPollTick);
    BuildLayout();
    CHelpKey::Install(this, context, QStringLiteral("wave"));
    ConnectChart();
    RefreshView();
    ApplyTexts();
    connect(&context, &CWindowContext::languageChanged, this, [this](int) { ApplyTexts(); });
}

CRogDlg::~CRogDlg() = default;

CRogModel::Hooks CRogDlg::MakeHooks()
{
    CRogModel::Hooks hooks;
    hooks.changed = [this] { RefreshControls(); };
    hooks.redraw = [this] {
        if (m_chart)
            m_chart->RequestReplot();
    };
    hooks.message = [this](const std::string &text) { CMsgDlg::Show(this, QString(), QString::fromStdString(text)); };
    hooks.warning = [this](const std::string &text) {
        CMsgDlg::ShowWarning(this, QString(), QString::fromStdString(text));
    };
    return hooks;
}

QString CRogDlg::Text(const char *key, const char *section, const char *builtIn) const
{
    return CWindowTexts::Text(m_context.Settings().Texts(), key, section, QString::fromUtf8(builtIn));
}

// ---- Layout -------------------------------------------------------------------------------------

void CRogDlg::ConnectChart()
{
    connect(m_chart, &CWaveChart::wheelZoomRequested, this,
            [this](double time, bool in) { m_model->WheelZoom(time, in); });
    connect(m_chart, &CWaveChart::dragRequested, this, [this](double delta) { m_model->Drag(delta); });
    connect(m_chart, &CWaveChart::pointerMoved, this,
            [this](double time) { m_readout->setText(QString::fromStdString(m_model->ReadoutText(time))); });
}

// ---- Texts and view -----------------------------------------------------------------------------

void CRogDlg::RefreshAxisTitles()
{
    const std::string &model = m_model->GetIdentity().model;
    const auto title = [this, &model](wave::ValueAxis axis, const char *builtIn) {
        const QString text = Text(wave::AxisTitleKey(axis, model).c_str(), kCommon, builtIn);
        return QString::fromStdString(wave::DecorateAxisTitle(axis, text.toStdString()));
    };
    const bool rotary = wave::IsRotary(model);
    m_chart->SetTitles(Text(wave::kTimeAxisTitleKey, kCommon, "Time [ms]"),
                       title(wave::ValueAxis::kPosition, rotary ? "Angle [deg]" : "Position [mm]"),
                       title(wave::ValueAxis::kSpeed, rotary ? "Angular speed [deg/s]" : "Speed [mm/s]"),
                       title(wave::ValueAxis::kCurrent, "Current [mA]"));
}

void CRogDlg::RefreshView()
{
    for (int axis = 0; axis < CWaveDisplay::kAxisCount; ++axis) {
        QLineEdit *field = m_perDivision[static_cast<size_t>(axis)];
        if (!field->hasFocus())
            field->setText(QString::fromStdString(m_model->PerDivisionText(static_cast<CWaveDisplay::Axis>(axis))));
    }
    RefreshList();
    RefreshTrigger();
    RefreshControls();
    m_chart->RequestReplot();
}

void CRogDlg::RefreshControls()
{
    const bool busy = m_model->Busy();
    const bool running = m_model->Running();
    const QString caption = running ? Text("ID_ROG_STOP", CRogModel::kSection, kStopCaption)
                                    : Text("ID_ROG_START", CRogModel::kSection, kStartCaption);
    m_startStop->setText(caption);
    m_startStop->setEnabled(m_model->StartAllowed() && !busy);
    m_lost->setText(QString::fromStdString(m_model->LostText()));
    m_lost->setVisible(!m_lost->text().isEmpty());
    const int row = SelectedRow();
    m_list->setEnabled(!busy);
    m_property->setEnabled(!busy && row >= 0);
    m_delete->setEnabled(m_model->CanDelete(row));
    m_save->setEnabled(!busy);
    m_open->setEnabled(m_model->CanOpen());
    m_print->setEnabled(!busy && !running);
    m_triggerOn->setEnabled(!busy);
    m_zoomText->setText(QString::fromStdString(m_model->Display().ZoomText()));
    m_zoomLarge->setEnabled(m_model->Display().CanZoomIn());
    m_zoomSmall->setEnabled(m_model->Display().CanZoomOut());
    if (m_list->rowCount() != m_model->RowCount())
        RefreshList();
}

void CRogDlg::RefreshList()
{
    const int selected = SelectedRow();
    const QSignalBlocker blocker(m_list);
    m_list->setRowCount(m_model->RowCount());
    for (int row = 0; row < m_model->RowCount(); ++row) {
        const CWaveSeries &series = m_model->Series().At(row);
        for (int column = 0; column < kColumnCount; ++column) {
            auto *item = new QTableWidgetItem(QString::fromStdString(m_model->RowText(row, column)));
            if (column == kColumnColour)
                item->setBackground(CWaveChart::ColourOf(series.Colour()));
            if (!series.Visible())
                item->setForeground(kInvisibleText);
            m_list->setItem(row, column, item);
        }
    }
    const int width = m_list->viewport()->width();
    for (int column = 0; column < static_cast<int>(kColumnPercent.size()); ++column)
        m_list->setColumnWidth(column, width * kColumnPercent[static_cast<size_t>(column)] / kPercent);
    if (selected >= 0 && selected < m_list->rowCount())
        m_list->selectRow(selected);
}

void CRogDlg::RefreshTrigger()
{
    m_refreshing = true;
    const WaveTriggerSettings &trigger = m_model->Trigger();
    const CWaveSeriesList &series = m_model->Series();
    m_triggerOn->setChecked(trigger.enabled);
    // The channel radios are offered while the trigger is on and a live series has a mode.
    const bool radios = trigger.enabled &&
                        (series.Live(0).Mode() != wave::kModeNone || series.Live(1).Mode() != wave::kModeNone);
    for (int channel = 0; channel < 2; ++channel) {
        m_triggerChannel[static_cast<size_t>(channel)]->setEnabled(radios);
        m_triggerChannel[static_cast<size_t>(channel)]->setChecked(trigger.channel == channel);
        m_direction[static_cast<size_t>(channel)]->setChecked(trigger.direction == channel);
    }
    m_level->setText(QString::fromStdString(FormatFixed(trigger.level, kLevelDecimals)));
    m_levelUnit->setText(QString::fromStdString(m_model->TriggerUnit()));
    m_triggerWidth->setCurrentIndex(trigger.widthIndex);
    m_triggerPosition->setText(QString::fromStdString(FormatFixed(trigger.position, kLevelDecimals)));
    m_align->setChecked(trigger.align);
    m_triggerColour->setStyleSheet(QStringLiteral("background-color: %1").arg(CWaveChart::ColourOf(trigger.colour).name()));
    m_refreshing = false;
}

int CRogDlg::SelectedRow() const
{
    const QList<QTableWidgetItem *> items = m_list ? m_list->selectedItems() : QList<QTableWidgetItem *>();
    return items.isEmpty() ? -1 : items.first()->row();
}

// ---- Edits --------------------------------------------------------------------------------------

void CRogDlg::TriggerEdited()
{
    if (m_refreshing)
        return;
    WaveTriggerSettings trigger = m_model->Trigger();
    trigger.enabled = m_triggerOn->isChecked();
    trigger.direction = m_direction[WaveTriggerSettings::kRising]->isChecked() ? WaveTriggerSettings::kRising
                                                                               : WaveTriggerSettings::kFalling;
    trigger.level = LeadingReal(m_level->text().toStdString());
    trigger.widthIndex = m_triggerWidth->currentIndex();
    trigger.position = LeadingReal(m_triggerPosition->text().toStdString());
    trigger.align = m_align->isChecked();
    m_model->SetTrigger(trigger);
    RefreshTrigger();
}

void CRogDlg::TriggerChannelChosen(int channel)
{
    if (m_refreshing)
        return;
    m_model->SelectTriggerChannel(channel);
    RefreshTrigger();
}

void CRogDlg::PerDivisionEdited(CWaveDisplay::Axis axis)
{
    QLineEdit *field = m_perDivision[static_cast<size_t>(axis)];
    const std::string kept = m_model->EditPerDivision(axis, field->text().toStdString());
    if (field->text() != QString::fromStdString(kept))
        field->setText(QString::fromStdString(kept));
}

// ---- Buttons ------------------------------------------------------------------------------------

void CRogDlg::PressStartStop()
{
    // The field's text is taken as it stands, also when the edit was not finished.
    m_model->SetSamplingText(m_sampling->text().toStdString());
    m_model->PressStartStop();
    if (m_model->Polling())
        StartPollTimer();
    else
        m_poll->stop();
    RefreshView();
}

void CRogDlg::StartPollTimer()
{
    if (!m_poll->isActive())
        m_poll->start(CRogModel::kPollIntervalMs);
}

void CRogDlg::OnPollTick()
{
    if (m_model->Tick())
        StartPollTimer();
    else
        RefreshView();
}

void CRogDlg::PressProperty()
{
    const int row = SelectedRow();
    if (row < 0 || m_model->Busy())
        return;
    CRogChartProperty dialog(m_context, *m_model, row, this);
    if (dialog.exec() == QDialog::Accepted)
        m_model->ApplyProperty(row, dialog.Result());
    RefreshView();
}

void CRogDlg::PressDelete()
{
    const int row = SelectedRow();
    if (m_model->Delete(row))
        m_list->clearSelection();
    RefreshView();
}

void CRogDlg::PressSave(const QString &path)
{
    QString target = path;
    if (target.isEmpty())
        target = CFileChooser::AskFile(this, m_context.Settings().Texts(), CFileChooser::Kind::kSave,
                                       QString::fromLatin1(kFileFilter), QStringLiteral("waveFileDialog"));
    if (target.isEmpty())
        return;
    m_model->Save(target.toStdString());
}

void CRogDlg::PressOpen(const QString &path)
{
    QString source = path;
    if (source.isEmpty())
        source = CFileChooser::AskFile(this, m_context.Settings().Texts(), CFileChooser::Kind::kOpen,
                                       QString::fromLatin1(kFileFilter), QStringLiteral("waveFileDialog"));
    if (source.isEmpty())
        return;
    m_model->Open(source.toStdString());
    RefreshView();
}

bool CRogDlg::PressExport(const QString &path)
{
    QString target = path;
    if (target.isEmpty())
        target = CFileChooser::AskFile(this, m_context.Settings().Texts(), CFileChooser::Kind::kSave,
                                       QString::fromLatin1(kImageFilter), QStringLiteral("waveFileDialog"));
    if (target.isEmpty())
        return false;
    if (QFileInfo(target).suffix().isEmpty())
        target += QStringLiteral(".png");
    m_chart->ReplotNow();
    const bool pdf = QFileInfo(target).suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) == 0;
    const bool saved = pdf ? m_chart->savePdf(target) : m_chart->savePng(target);
    if (!saved)
        CMsgDlg::ShowWarning(this, QString(),
                             QString::fromStdString(CSaveFailure::Probed(QFile::encodeName(target).toStdString())
                                                        .Message(&m_context.Settings().Texts())));
    return saved;
}

void CRogDlg::PressZoomLarge()
{
    m_model->ZoomLarge();
}

void CRogDlg::PressZoomSmall()
{
    m_model->ZoomSmall();
}

void CRogDlg::PressZoomReset()
{
    m_model->ZoomReset();
}

void CRogDlg::PressScroll(ScrollButton button)
{
    switch (button) {
    case kScrollUp:
        m_model->Scroll(0, 1);
        break;
    case kScrollDown:
        m_model->Scroll(0, -1);
        break;
    case kScrollLeft:
        m_model->Scroll(-1, 0);
        break;
    case kScrollRight:
    case kScrollCount:
        m_model->Scroll(1, 0);
        break;
    }
}

// ---- Events -------------------------------------------------------------------------------------

void CRogDlg::showEvent(QShowEvent *event)
{
    ApplyTexts();
    QDialog::showEvent(event);
}

void CRogDlg::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        ApplyTexts();
    QDialog::changeEvent(event);
}

void CRogDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace kvl
