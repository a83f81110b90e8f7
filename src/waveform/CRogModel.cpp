#include "waveform/CRogModel.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "base/TextNumber.h"
#include "config/CSaveFailure.h"
#include "config/CAppValues.h"
#include "config/CLanguageTexts.h"
#include "waveform/CWaveCsv.h"
#include "waveform/WaveModes.h"

namespace kvl {
namespace {

constexpr char kStartKey[] = "ID_ROG_START";
constexpr char kStopKey[] = "ID_ROG_STOP";
constexpr char kTimeCaptionKey[] = "IDS_ROG_TIME";
constexpr char kTimeCaptionBuiltIn[] = "Time [ms]";
constexpr char kLostPlaceholder[] = "%1";
constexpr int kReadoutDecimals = 3;

bool AllDigits(const std::string &text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Per-division values as the fields show them: no trailing zeros, at most six decimals.
std::string CompactNumber(double value)
{
    char text[64];
    std::snprintf(text, sizeof(text), "%.6f", value);
    std::string out = text;
    if (out.find('.') != std::string::npos) {
        out.erase(out.find_last_not_of('0') + 1);
        if (!out.empty() && out.back() == '.')
            out.pop_back();
    }
    return out;
}

bool ParseDouble(const std::string &text, double &value)
{
    const char *end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

} // namespace

CRogModel::CRogModel(IWaveCommandSource &source, CWaveformSettings &settings, CAppValues &values,
                     const CLanguageTexts &texts, Identity identity, int maxList, Hooks hooks)
    : m_settings(settings),
      m_values(values),
      m_texts(texts),
      m_identity(std::move(identity)),
      m_hooks(std::move(hooks)),
      m_series(maxList),
      m_display(settings.Get()),
      m_capture(source, m_series, m_display)
{
    const bool axisKnown = m_identity.axis >= 0 && m_identity.axis < CAppValues::kAxisCount;
    // The flag is read once: a later change does not enable or disable Start.
    const bool modelMatch = axisKnown && m_values.modelMatch[static_cast<std::size_t>(m_identity.axis)];
    m_startAllowed = !m_identity.offline && !modelMatch;
    m_samplingText = std::to_string(settings.Get().periodTimes);
    m_capture.SetRedrawHandler([this] { Redraw(); });
    m_capture.SetTrigger(WaveTriggerSettings{});
}

CRogModel::~CRogModel() = default;

void CRogModel::Changed() const
{
    if (m_hooks.changed)
        m_hooks.changed();
}

void CRogModel::Redraw() const
{
    if (m_hooks.redraw)
        m_hooks.redraw();
}

void CRogModel::Message(const std::string &text) const
{
    if (m_hooks.message)
        m_hooks.message(text);
}

std::string CRogModel::CommonText(const char *key) const
{
    return m_texts.Text(key, CLanguageTexts::kCommonSection);
}

std::string CRogModel::Text(const char *key, const char *builtIn) const
{
    const std::string text = m_texts.Text(key, kSection);
    return text.empty() ? std::string(builtIn) : text;
}

// ---- Capture ------------------------------------------------------------------------------------

void CRogModel::PressStartStop()
{
    if (Busy())
        return;
    if (m_capture.IsRunning())
        Stop();
    else if (m_startAllowed)
        Start();
}

void CRogModel::Start()
{
    // The controls go grey before the first exchange: the transport may let window messages
    // through while it waits.
    m_starting = true;
    Changed();
    long long sampling = -1;
    if (!m_samplingText.empty() && m_samplingText.size() <= static_cast<std::size_t>(kSamplingMaxChars))
        std::from_chars(m_samplingText.data(), m_samplingText.data() + m_samplingText.size(), sampling);
    m_capture.Start(sampling);
    m_starting = false;
    Changed();
}

void CRogModel::Stop()
{
    m_capture.Stop();
    long long sampling = 0;
    std::from_chars(m_samplingText.data(), m_samplingText.data() + m_samplingText.size(), sampling);
    m_settings.Set(m_display.Settings(static_cast<int>(std::clamp<long long>(sampling, 0, INT32_MAX))));
    Changed();
}

bool CRogModel::Tick()
{
    const CWaveCapture::PollResult result = m_capture.Poll();
    if (result == CWaveCapture::PollResult::kFinished || result == CWaveCapture::PollResult::kSamples)
        Changed();
    return m_capture.IsPolling();
}

void CRogModel::SetSamplingText(const std::string &text)
{
    if (AllDigits(text) && text.size() <= static_cast<std::size_t>(kSamplingMaxChars))
        m_samplingText = text;
}

const char *CRogModel::StartStopKey() const
{
    return m_capture.IsRunning() ? kStopKey : kStartKey;
}

std::string CRogModel::LostText() const
{
    const int64_t lost = LostSamples();
    if (lost <= 0)
        return {};
    std::string text = Text(kLostKey, kLostBuiltIn);
    const std::size_t at = text.find(kLostPlaceholder);
    if (at != std::string::npos)
        text.replace(at, std::char_traits<char>::length(kLostPlaceholder), std::to_string(lost));
    return text;
}

// ---- Trigger ------------------------------------------------------------------------------------

void CRogModel::SetTrigger(const WaveTriggerSettings &trigger)
{
    m_capture.SetTrigger(trigger);
    Redraw();
}

void CRogModel::SelectTriggerChannel(int channel)
{
    m_capture.SelectTriggerChannel(channel);
    m_capture.SetTrigger(m_capture.Trigger());
    Changed();
    Redraw();
}

std::string CRogModel::TriggerUnit() const
{
    return wave::UnitForMode(m_series.Live(m_capture.Trigger().channel).Mode(), m_identity.model);
}

// ---- Display ------------------------------------------------------------------------------------

std::string CRogModel::PerDivisionText(CWaveDisplay::Axis axis) const
{
    if (axis == CWaveDisplay::kTime)
        return std::to_string(m_display.TimePerDivision());
    return CompactNumber(m_display.PerDivision(axis));
}

std::string CRogModel::EditPerDivision(CWaveDisplay::Axis axis, const std::string &text)
{
    const std::string filled = CWaveDisplay::FilledFieldText(text);
    double value = 0.0;
    const bool parsed = ParseDouble(filled, value);
    const bool applied = parsed && (axis == CWaveDisplay::kTime ? m_display.SetTimePerDivision(static_cast<int>(value))
                                                               : m_display.SetPerDivision(axis, value));
    if (applied)
        Redraw();
    else if (axis == CWaveDisplay::kTime)
        return PerDivisionText(axis);
    return filled;
}

void CRogModel::ZoomLarge()
{
    m_display.ZoomIn();
    Changed();
    Redraw();
}

void CRogModel::ZoomSmall()
{
    m_display.ZoomOut();
    Changed();
    Redraw();
}

void CRogModel::ZoomReset()
{
    m_display.ResetZoom();
    Changed();
    Redraw();
}

void CRogModel::Scroll(int dx, int dy)
{
    if (dx > 0)
        m_display.ScrollRight();
    else if (dx < 0)
        m_display.ScrollLeft();
    if (dy > 0)
        m_display.ScrollUp();
    else if (dy < 0)
        m_display.ScrollDown();
    Redraw();
}

void CRogModel::WheelZoom(double t, bool in)
{
    if (m_display.ZoomTimeAround(t, in)) {
        Changed();
        Redraw();
    }
}

void CRogModel::Drag(double delta)
{
    if (!std::isfinite(delta))
        return;
    m_display.PanTime(delta);
    Redraw();
}

// ---- Series list --------------------------------------------------------------------------------

std::string CRogModel::ModeName(int mode) const
{
    return CommonText(wave::ModeNameKey(mode).c_str());
}

std::string CRogModel::RowText(int row, int column) const
{
    if (row < 0 || row >= m_series.Count())
        return {};
    const CWaveSeries &series = m_series.At(row);
    switch (column) {
    case 0:
        return series.Name();
    case 1:
        return ModeName(series.Mode());
    case 2:
        return wave::FormatOffset(series.Mode(), m_identity.model, series.YOffset());
    case 4:
        return std::to_string(series.Width());
    default:
        return {};
    }
}

bool CRogModel::Delete(int row)
{
    if (!CanDelete(row) || !m_series.Remove(row))
        return false;
    Changed();
    Redraw();
    return true;
}

CRogModel::LineProperty CRogModel::PropertyOf(int row) const
{
    LineProperty property;
    if (row < 0 || row >= m_series.Count())
        return property;
    const CWaveSeries &series = m_series.At(row);
    property.name = series.Name();
    property.mode = series.Mode();
    property.offset = series.YOffset();
    property.colour = series.Colour();
    property.width = series.Width();
    property.visible = series.Visible();
    return property;
}

void CRogModel::ApplyProperty(int row, const LineProperty &property)
{
    if (row < 0 || row >= m_series.Count())
        return;
    CWaveSeries &series = m_series.At(row);
    series.SetName(property.name);
    if (wave::IsValidMode(property.mode))
        series.SetMode(property.mode);
    series.SetColour(property.colour);
    series.SetWidth(std::clamp(property.width, kWidthMin, kWidthMax));
    series.SetVisible(property.visible);
    if (std::isfinite(property.offset))
        series.SetYOffset(property.offset);
    Changed();
    Redraw();
}

int CRogModel::PropertyModeCount() const
{
    return wave::PropertyModeCount(m_identity.model);
}

bool CRogModel::ModeEditable() const
{
    const int axis = m_identity.axis;
    return axis >= 0 && axis < CAppValues::kSlotCount && m_values.accessLevel[static_cast<std::size_t>(axis)] > 0;
}

// ---- Files --------------------------------------------------------------------------------------

bool CRogModel::Save(const std::string &path)
{
    const std::string target = CWaveCsv::WithDefaultExtension(path);
    if (target.empty())
        return false;
    // The caption goes into the file in the language file's own code page.
    CCodePageText caption = m_texts.RawText(kTimeCaptionKey, CLanguageTexts::kCommonSection);
    if (caption.Empty())
        caption = CCodePageText(kTimeCaptionBuiltIn, caption.CodePage());
    if (CWaveCsv::Save(target, m_series, caption))
        return true;
    const std::string text = CSaveFailure::Last(target).Message(&m_texts);
    if (m_hooks.warning)
        m_hooks.warning(text);
    else
        Message(text);
    return false;
}

bool CRogModel::Open(const std::string &path)
{
    if (path.empty() || !CanOpen())
        return false;
    int added = 0;
    const CWaveCsv::LoadStatus status = CWaveCsv::Load(path, m_series, m_random, &added);
    if (status == CWaveCsv::LoadStatus::kTooLarge)
        Message(Text(kTooLargeKey, kTooLargeBuiltIn));
    else if (const std::string key = CWaveCsv::MessageKey(status); !key.empty())
        Message(CommonText(key.c_str()));
    if (added > 0) {
        Changed();
        Redraw();
    }
    return added > 0;
}

// ---- Chart --------------------------------------------------------------------------------------

double CRogModel::PeriodOf(int row) const
{
    if (row < 0 || row >= m_series.Count())
        return 0.0;
    if (row < CWaveSeriesList::kLiveSeries)
        return m_capture.PeriodMs();
    const CWaveSeries &series = m_series.At(row);
    return series.Count() >= 2 ? series.Point(1).x - series.Point(0).x : 0.0;
}

bool CRogModel::IsGap(double previousX, double x, double period)
{
    return period > 0.0 && x - previousX > kGapPeriods * period;
}

int CRogModel::FirstDrawn(const CWaveSeries &series)
{
    const WaveTriggerAttributes &trigger = series.Trigger();
    return trigger.drawAllPoints ? 0 : std::clamp(trigger.firstVisible, 0, series.Count());
}

bool CRogModel::ValueAt(int row, double t, double &value) const
{
    const CWaveSeries &series = m_series.At(row);
    const std::vector<WavePoint> &points = series.Points();
    const int first = FirstDrawn(series);
    if (!series.Visible() || series.Mode() == wave::kModeNone || series.Count() - first < 1)
        return false;
    const auto begin = points.begin() + first;
    const auto at = std::lower_bound(begin, points.end(), t, [](const WavePoint &p, double x) { return p.x < x; });
    if (at == points.end())
        return false;
    if (at->x == t) {
        value = at->y;
        return true;
    }
    if (at == begin)
        return false;
    const WavePoint &before = *(at - 1);
    if (IsGap(before.x, at->x, PeriodOf(row)))
        return false;
    value = before.y + (at->y - before.y) * (t - before.x) / (at->x - before.x);
    return true;
}

std::vector<CRogModel::ReadoutLine> CRogModel::Readout(double t) const
{
    std::vector<ReadoutLine> lines;
    if (!std::isfinite(t))
        return lines;
    for (int row = 0; row < m_series.Count(); ++row) {
        double value = 0.0;
        if (!ValueAt(row, t, value))
            continue;
        const CWaveSeries &series = m_series.At(row);
        lines.push_back({row, series.Name(), series.Colour(), value, wave::UnitForMode(series.Mode(), m_identity.model)});
    }
    return lines;
}

std::string CRogModel::ReadoutText(double t) const
{
    if (!std::isfinite(t))
        return {};
    std::string text = FormatFixed(t, 2) + " ms";
    for (const ReadoutLine &line : Readout(t)) {
        text += "\n" + line.name + ": " + FormatFixed(line.value, kReadoutDecimals);
        if (!line.unit.empty())
            text += " " + line.unit;
    }
    return text;
}

} // namespace kvl
