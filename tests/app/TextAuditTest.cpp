// The text audit: the screen tour, run in Japanese and in Chinese on the demo bus with
// --dump-texts, lists every text its windows and messages hold (tests/app/CMakeLists.txt runs it
// first, as this program's fixture). No text may hold a replacement character or a C1 control
// (both are what a text decoded in the wrong code page turns into), nor a language key in place
// of its text; and the point table's choice columns show exactly the texts of the shipped language
// file, decoded here from its code page with iconv.
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <iconv.h>

#include <cerrno>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// One line of a dump: window, object, text (unescaped).
struct DumpLine {
    QString window;
    QString object;
    QString text;
};

struct AuditLanguage {
    const char *name;       // the tour's --lang
    const char *shipped;    // the language file as shipped, in its code page
    const char *source;     // its UTF-8 source
    const char *codePage;   // for iconv
};

void PrintTo(const AuditLanguage &language, std::ostream *out)
{
    *out << language.name;
}

constexpr AuditLanguage kLanguages[] = {
    {"ja", "Lang_JP.ini", "lang_ja.ini", "CP932"},
    {"zh", "Lang_CN.ini", "lang_zh.ini", "CP936"},
};

constexpr char kStepSection[] = "IDD_KVL_VER2_PROGSTEP_DIALOG";
constexpr char kChoicesWindow[] = "points_choices";
constexpr char kGridName[] = "pointGrid";
constexpr int kAccDecModeColumn = 11;
constexpr int kStopModeColumn = 12;
constexpr int kSpeedModeCount = 2;
constexpr int kStopModeCount = 5;
// Windows the tour must have listed: a dump without them proves nothing.
const char *const kVisitedWindows[] = {"start", "link", "gw_netset", "gw_param", "gw_external", "gw_alarm",
                                       "axis", "monitor", "tuning", "points_edit", kChoicesWindow, "params"};
// Findings listed in a failure message at most (the count is always given).
constexpr int kFindingsShown = 60;

QString Unescape(const QString &text)
{
    QString plain;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\') || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        const QChar next = text[++i];
        plain += next == QLatin1Char('t') ? QChar('\t') : next == QLatin1Char('n') ? QChar('\n')
               : next == QLatin1Char('r') ? QChar('\r') : next;
    }
    return plain;
}

std::vector<DumpLine> ReadDump(const QString &path)
{
    std::vector<DumpLine> lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        if (raw.isEmpty())
            continue;
        const QStringList fields = QString::fromUtf8(raw).split(QLatin1Char('\t'));
        if (fields.size() != 3) {
            ADD_FAILURE() << "not window<TAB>object<TAB>text: " << raw.toStdString();
            continue;
        }
        lines.push_back({Unescape(fields[0]), Unescape(fields[1]), Unescape(fields[2])});
    }
    return lines;
}

QString DumpPath(const AuditLanguage &language)
{
    return QStringLiteral(KVL_TEXT_AUDIT_DIR "/texts_%1.tsv").arg(QLatin1String(language.name));
}

std::string ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// `bytes` from `codePage` to UTF-8 with the C library's iconv; empty on any byte it cannot decode.
std::string DecodeWithIconv(const std::string &bytes, const char *codePage)
{
    iconv_t cd = iconv_open("UTF-8", codePage);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    std::string out(bytes.size() * 4 + 4, '\0');
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = bytes.size();
    char *outPtr = out.data();
    size_t outLeft = out.size();
    const size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1))
        return {};
    out.resize(out.size() - outLeft);
    return out;
}

// The keys of one section of an INI text ("key=text" lines, CR LF or LF).
std::map<std::string, std::string> Section(const std::string &ini, const std::string &section)
{
    std::map<std::string, std::string> keys;
    bool inside = false;
    const QStringList lines = QString::fromStdString(ini).split(QRegularExpression(QStringLiteral("\r?\n")));
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1Char('['))) {
            inside = line.trimmed() == QStringLiteral("[%1]").arg(QString::fromStdString(section));
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inside && equals > 0)
            keys[line.left(equals).trimmed().toStdString()] = line.mid(equals + 1).toStdString();
    }
    return keys;
}

// The texts of ID_<stem>_0 .. ID_<stem>_<count - 1>.
std::set<QString> ChoiceTexts(const std::map<std::string, std::string> &section, const char *stem, int count)
{
    std::set<QString> texts;
    for (int i = 0; i < count; ++i) {
        const auto found = section.find(std::string("ID_") + stem + "_" + std::to_string(i));
        if (found != section.end())
            texts.insert(QString::fromStdString(found->second));
    }
    return texts;
}

std::string Joined(const std::set<QString> &texts)
{
    return QStringList(texts.begin(), texts.end()).join(QStringLiteral(" | ")).toStdString();
}

std::string Describe(const DumpLine &line)
{
    return (line.window + QLatin1Char('\t') + line.object + QLatin1Char('\t') + line.text).toStdString();
}

class TextAuditTest : public ::testing::TestWithParam<AuditLanguage> {
protected:
    void SetUp() override
    {
        m_lines = ReadDump(DumpPath(GetParam()));
        ASSERT_FALSE(m_lines.empty()) << "no texts in " << DumpPath(GetParam()).toStdString()
                                      << " (run the tour with --dump-texts first)";
    }

    std::vector<DumpLine> m_lines;
};

TEST_P(TextAuditTest, TheTourListedEveryWindow)
{
    std::set<QString> windows;
    for (const DumpLine &line : m_lines)
        windows.insert(line.window);
    for (const char *window : kVisitedWindows)
        EXPECT_TRUE(windows.count(QLatin1String(window))) << window;
}

TEST_P(TextAuditTest, NoGarbledTextAndNoLanguageKey)
{
    static const QRegularExpression key(QStringLiteral("\\b(IDS|IDC|IDD)_[A-Z0-9_]+\\b"));
    const struct {
        const char *finding;
        std::function<bool(const QString &)> found;
    } checks[] = {
        {"replacement character U+FFFD", [](const QString &text) { return text.contains(QChar(0xFFFD)); }},
        {"C1 control character",
         [](const QString &text) {
             for (const QChar c : text) {
                 if (c.unicode() >= 0x80 && c.unicode() <= 0x9F)
                     return true;
             }
             return false;
         }},
        {"language key instead of its text", [](const QString &text) { return key.match(text).hasMatch(); }},
    };
    for (const auto &check : checks) {
        SCOPED_TRACE(check.finding);
        std::vector<std::string> findings;
        for (const DumpLine &line : m_lines) {
            if (check.found(line.text))
                findings.push_back(Describe(line));
        }
        std::string shown;
        for (size_t i = 0; i < findings.size() && i < static_cast<size_t>(kFindingsShown); ++i)
            shown += "\n  " + findings[i];
        EXPECT_TRUE(findings.empty()) << findings.size() << " texts with a " << check.finding << ":" << shown;
    }
}

TEST_P(TextAuditTest, ChoiceColumnsShowTheShippedLanguageFilesTexts)
{
    const AuditLanguage &language = GetParam();
    const std::string shipped = ReadBytes(std::string(KVL_PRISTINE_SYSTEM_DIR "/") + language.shipped);
    ASSERT_FALSE(shipped.empty()) << language.shipped;
    const std::string decoded = DecodeWithIconv(shipped, language.codePage);
    ASSERT_FALSE(decoded.empty()) << language.shipped << " is not in " << language.codePage;
    const auto section = Section(decoded, kStepSection);
    const std::set<QString> speedModes = ChoiceTexts(section, "SPEED_MODE", kSpeedModeCount);
    const std::set<QString> stopModes = ChoiceTexts(section, "STOP_MODE", kStopModeCount);
    ASSERT_EQ(speedModes.size(), static_cast<size_t>(kSpeedModeCount)) << Joined(speedModes);
    ASSERT_EQ(stopModes.size(), static_cast<size_t>(kStopModeCount)) << Joined(stopModes);

    // The round trip: the shipped file says what its UTF-8 source says.
    const auto source = Section(ReadBytes(std::string(KVL_LANG_SOURCE_DIR "/") + language.source), kStepSection);
    EXPECT_EQ(ChoiceTexts(source, "SPEED_MODE", kSpeedModeCount), speedModes);
    EXPECT_EQ(ChoiceTexts(source, "STOP_MODE", kStopModeCount), stopModes);

    // The tour puts every choice on some step: each column shows each text, and nothing else.
    const struct {
        int column;
        const std::set<QString> &expected;
    } columns[] = {{kAccDecModeColumn, speedModes}, {kStopModeColumn, stopModes}};
    for (const auto &column : columns) {
        SCOPED_TRACE(column.column);
        static const QRegularExpression cell(QStringLiteral("^%1\\[\\d+,(\\d+)\\]$").arg(QLatin1String(kGridName)));
        std::set<QString> shown;
        for (const DumpLine &line : m_lines) {
            const QRegularExpressionMatch match = cell.match(line.object);
            if (line.window == QLatin1String(kChoicesWindow) && match.hasMatch() &&
                match.captured(1).toInt() == column.column)
                shown.insert(line.text);
        }
        EXPECT_EQ(shown, column.expected) << "shown: " << Joined(shown) << "\nexpected: " << Joined(column.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, TextAuditTest, ::testing::ValuesIn(kLanguages),
                         [](const ::testing::TestParamInfo<AuditLanguage> &info) {
                             return std::string(info.param.name);
                         });

} // namespace
