#include "waveform/CWaveCsv.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "config/CFileReplace.h"
#include "config/CLanguageTexts.h"
#include "waveform/CWaveCapture.h"
#include "waveform/CWaveColourRandom.h"
#include "waveform/CWaveSeriesList.h"

namespace kvl {
namespace fs = std::filesystem;

static_assert(CWaveCsv::kMaxPoints == CWaveCapture::kBufferSamples, "a loaded run fits the capture's buffers");

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr char kChannel0Tag[] = "CH0-";
constexpr char kChannel1Tag[] = "CH1-";
constexpr std::size_t kTagLength = 4;
constexpr int kValuePrecision = 2;
constexpr int kDataFields = 4;
constexpr std::size_t kReadChunk = 64 * 1024;

// "%.2f" whatever the process locale says about decimal points.
void AppendFixed(std::string &out, double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof(text), value, std::chars_format::fixed, kValuePrecision);
    if (result.ec == std::errc())
        out.append(text, result.ptr);
    else
        out += "0.00";   // only a value beyond 60 digits; no capture produces one
}

// Point i of a series as the file reads it: past the series' points a value reads as 0.
double YAt(const CWaveSeries &series, int i) { return i < series.Count() ? series.Point(i).y : 0.0; }
double XAt(const CWaveSeries &series, int i) { return i < series.Count() ? series.Point(i).x : 0.0; }

double ColumnValue(const CWaveSeries &series, int i)
{
    if (series.Mode() == wave::kModeNone)
        return 0.0;
    return YAt(series, i) - series.YOffset();
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

template <typename T> bool ParseNumber(std::string_view field, T &value)
{
    field = Trim(field);
    if (field.size() > 1 && field.front() == '+' && field[1] != '-' && field[1] != '+')
        field.remove_prefix(1);
    if (field.empty())
        return false;
    const auto result = std::from_chars(field.data(), field.data() + field.size(), value);
    return result.ec == std::errc() && result.ptr == field.data() + field.size();
}

// "index,time,ch0,ch1"; fields after the fourth are ignored.
bool ParseDataLine(std::string_view line, double &time, double &value0, double &value1)
{
    std::string_view fields[kDataFields];
    for (int f = 0; f < kDataFields; ++f) {
        const std::size_t comma = line.find(',');
        const bool last = f == kDataFields - 1;
        if (comma == std::string_view::npos && !last)
            return false;
        fields[f] = line.substr(0, comma);
        line = comma == std::string_view::npos ? std::string_view() : line.substr(comma + 1);
    }
    int index = 0;
    if (!ParseNumber(fields[0], index) || !ParseNumber(fields[1], time) || !ParseNumber(fields[2], value0) ||
        !ParseNumber(fields[3], value1))
        return false;
    return std::isfinite(time) && std::isfinite(value0) && std::isfinite(value1);
}

int ModeAfterTag(std::string_view token, const char *tag)
{
    const std::size_t at = token.find(tag);
    if (at == std::string_view::npos || at + kTagLength >= token.size())
        return -1;
    const char digit = token[at + kTagLength];
    return digit >= '0' && digit <= '9' ? digit - '0' : wave::kModeNone;
}

void ParseHeader(std::string_view line, CWaveCsv::Run &run)
{
    line = line.substr(0, CWaveCsv::kMaxLineLength);
    std::size_t start = 0;
    while (start <= line.size()) {
        const std::size_t end = line.find_first_of(" ,", start);
        const std::string_view token = line.substr(start, end == std::string_view::npos ? end : end - start);
        const int mode0 = ModeAfterTag(token, kChannel0Tag);
        const int mode1 = ModeAfterTag(token, kChannel1Tag);
        if (mode0 >= 0)
            run.mode0 = mode0;
        if (mode1 >= 0)
            run.mode1 = mode1;
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
}

// Takes the lines of a file one by one; the first is the header.
class LineReader {
public:
    explicit LineReader(CWaveCsv::Run &run) : m_run(run) {}

    void Line(std::string_view line, bool overlong)
    {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!m_headerSeen) {
            m_headerSeen = true;
            ParseHeader(line, m_run);
            return;
        }
        if (line.empty() && !overlong)
            return;
        double time = 0.0;
        double value0 = 0.0;
        double value1 = 0.0;
        if (overlong || line.size() > CWaveCsv::kMaxLineLength || !ParseDataLine(line, time, value0, value1)) {
            ++m_run.skippedLines;
            return;
        }
        m_run.channel0.push_back({time, value0});
        m_run.channel1.push_back({time, value1});
    }

private:
    CWaveCsv::Run &m_run;
    bool m_headerSeen = false;
};

// Feeds chunks of a file to a LineReader, keeping at most one line's worth of a partial line.
class ChunkSplitter {
public:
    explicit ChunkSplitter(LineReader &reader) : m_reader(reader) {}

    void Feed(std::string_view chunk)
    {
        while (!chunk.empty()) {
            const std::size_t newline = chunk.find('\n');
            Keep(chunk.substr(0, newline));
            if (newline == std::string_view::npos)
                return;
            Flush();
            chunk.remove_prefix(newline + 1);
        }
    }

    void Finish()
    {
        if (!m_pending.empty() || m_overlong)
            Flush();
    }

private:
    // Room for the longest line, its CR, and one byte that marks it as too long.
    static constexpr std::size_t kKeepLimit = CWaveCsv::kMaxLineLength + 2;

    void Keep(std::string_view part)
    {
        const std::size_t room = kKeepLimit - m_pending.size();
        if (part.size() > room) {
            m_overlong = true;
            part = part.substr(0, room);
        }
        m_pending.append(part);
    }

    void Flush()
    {
        m_reader.Line(m_pending, m_overlong);
        m_pending.clear();
        m_overlong = false;
    }

    LineReader &m_reader;
    std::string m_pending;
    bool m_overlong = false;
};

} // namespace

const char *CWaveCsv::MessageKey(LoadStatus status)
{
    switch (status) {
    case LoadStatus::kNotFound:
        return CLanguageTexts::kMsgFileNotFound;
    case LoadStatus::kAccessDenied:
        return CLanguageTexts::kMsgFileInUse;
    case LoadStatus::kOpenFailed:
        return CLanguageTexts::kMsgFileOperationFailed;
    default:
        return "";
    }
}

std::string CWaveCsv::Serialise(const CWaveSeries &series0, const CWaveSeries &series1,
                                const CCodePageText &timeCaption)
{
    std::string out = "No," + timeCaption.Bytes() + "," + kChannel0Tag + std::to_string(series0.Mode()) + "," +
                      kChannel1Tag + std::to_string(series1.Mode()) + kLineEnd;
    const int rows = series0.Count() > 0 ? series0.Count() : series1.Count();
    const CWaveSeries &timeSource = series0.Mode() != wave::kModeNone ? series0 : series1;
    out.reserve(out.size() + static_cast<std::size_t>(rows) * 40);
    for (int i = 0; i < rows; ++i) {
        out += std::to_string(i);
        out += ',';
        AppendFixed(out, XAt(timeSource, i));
        out += ',';
        AppendFixed(out, ColumnValue(series0, i));
        out += ',';
        AppendFixed(out, ColumnValue(series1, i));
        out += kLineEnd;
    }
    return out;
}

bool CWaveCsv::Save(const std::string &path, const CWaveSeriesList &list, const CCodePageText &timeCaption)
{
    return CFileReplace::Write(path, Serialise(list.Live(0), list.Live(1), timeCaption));
}

std::string CWaveCsv::WithDefaultExtension(const std::string &path)
{
    if (path.empty() || fs::path(path).has_extension())
        return path;
    return path + kExtension;
}

void CWaveCsv::Parse(std::string_view content, Run &run)
{
    run = Run{};
    LineReader reader(run);
    ChunkSplitter splitter(reader);
    splitter.Feed(content);
    splitter.Finish();
}

CWaveCsv::LoadStatus CWaveCsv::Read(const std::string &path, Run &run)
{
    run = Run{};
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return LoadStatus::kNotFound;
        if (errno == EACCES || errno == EPERM)
            return LoadStatus::kAccessDenied;
        return LoadStatus::kOpenFailed;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return LoadStatus::kOpenFailed;
    }
    if (info.st_size > kMaxFileBytes) {
        ::close(fd);
        return LoadStatus::kTooLarge;
    }
    LineReader reader(run);
    ChunkSplitter splitter(reader);
    std::string chunk(kReadChunk, '\0');
    for (;;) {
        const ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            run = Run{};
            return LoadStatus::kOpenFailed;
        }
        if (n == 0)
            break;
        splitter.Feed(std::string_view(chunk.data(), static_cast<std::size_t>(n)));
    }
    splitter.Finish();
    ::close(fd);
    if (run.channel0.size() > static_cast<std::size_t>(kMaxPoints)) {
        run = Run{};
        return LoadStatus::kTooLarge;
    }
    return LoadStatus::kOk;
}

CWaveCsv::LoadStatus CWaveCsv::Load(const std::string &path, CWaveSeriesList &list, CWaveColourRandom &random,
                                    int *added)
{
    if (added)
        *added = 0;
    if (!list.CanOpen())
        return LoadStatus::kListFull;
    Run run;
    const LoadStatus status = Read(path, run);
    if (status != LoadStatus::kOk || run.channel0.empty())
        return status;
    const std::string fileName = fs::path(path).filename().string();
    const int modes[2] = {run.mode0, run.mode1};
    const std::vector<WavePoint> *points[2] = {&run.channel0, &run.channel1};
    const char *tags[2] = {kChannel0Tag, kChannel1Tag};
    for (int channel = 0; channel < 2; ++channel) {
        CWaveSeries series(tags[channel] + fileName, random.NextColour(), modes[channel]);
        if (modes[channel] != wave::kModeNone) {
            series.Reserve(points[channel]->size());
            for (const WavePoint &point : *points[channel])
                series.Append(point.x, point.y);
        }
        list.Add(std::move(series));
        if (added)
            ++*added;
    }
    return LoadStatus::kOk;
}

} // namespace kvl
