#pragma once
// CWaveCsv: the waveform CSV file. Save writes the two live channels: a header line
// "No,<time caption>,CH0-<mode>,CH1-<mode>", then one line per point "index,time,ch0,ch1" with two
// decimals, the values without their series' y offset, lines ended by CR LF; the caption's bytes
// go out as they are, in the code page of the language file they came from. Loading reads such a
// file back as two extra series "CH0-<file name>" and "CH1-<file name>" for comparison.
// The file is written to a temporary file beside the target and renamed over it, so a failed
// save leaves the old file whole. Stateless; any thread, one file at a time per caller.
#include <string>
#include <string_view>
#include <vector>

#include "config/CCodePageText.h"
#include "waveform/CWaveSeries.h"

namespace kvl {

class CWaveColourRandom;
class CWaveSeriesList;

class CWaveCsv {
public:
    static constexpr char kExtension[] = ".csv";
    static constexpr char kFileFilter[] = "Data Files (*.csv)|*.csv||";
    // Longest line a loaded file may have; a longer data line is skipped.
    static constexpr std::size_t kMaxLineLength = 10240;
    // A run holds at most kMaxPoints points per channel (the capture's buffers). A file longer
    // than kMaxFileBytes cannot be such a run and is refused before it is read into memory.
    static constexpr int kMaxPoints = 100000;
    static constexpr long long kMaxFileBytes = (kMaxPoints + 1) * 128LL;

    enum class LoadStatus {
        kOk,
        kNotFound,       // ("IDS_ERRMSG_FILENOTFOUND", "Common")
        kAccessDenied,   // ("IDS_ERRMSG_FILEHAVEOPENED", "Common")
        kOpenFailed,     // ("IDS_ERRMSG_FILEOPRATIONFAIL", "Common")
        kListFull,       // no room for two more series; nothing was read
        kTooLarge,       // more points than a capture run holds; nothing was added
    };
    // The language key of a load failure's message (section "Common"); "" for kOk, kListFull and
    // kTooLarge.
    static const char *MessageKey(LoadStatus status);

    // What a file holds: the modes of its header and the (time, value) pairs of each channel.
    struct Run {
        int mode0 = 0;
        int mode1 = 0;
        std::vector<WavePoint> channel0;
        std::vector<WavePoint> channel1;
        int skippedLines = 0;   // data lines that did not give four finite numbers
    };

    // The file's bytes for the two live series.
    static std::string Serialise(const CWaveSeries &series0, const CWaveSeries &series1,
                                 const CCodePageText &timeCaption);
    // Writes rows 0 and 1 of the list to `path`; false when the file could not be written (the
    // old file, if any, is untouched then).
    static bool Save(const std::string &path, const CWaveSeriesList &list, const CCodePageText &timeCaption);
    // The save dialog's rule: a name without an extension gets ".csv".
    static std::string WithDefaultExtension(const std::string &path);

    // Reads file content. The header gives the modes (a token holding "CH0-" or "CH1-" followed
    // by a digit; 0 otherwise); every further line "index,time,ch0,ch1" gives one point per
    // channel. A line that does not give four finite numbers contributes nothing.
    static void Parse(std::string_view content, Run &run);
    // Opens and parses a file.
    static LoadStatus Read(const std::string &path, Run &run);
    // Reads a file and appends its two series to the list (random colours, width 1, attached by
    // mode; a series of mode 0 gets no points). A file without data lines adds nothing.
    // `added` receives the number of series added.
    static LoadStatus Load(const std::string &path, CWaveSeriesList &list, CWaveColourRandom &random,
                           int *added = nullptr);
};

} // namespace kvl
