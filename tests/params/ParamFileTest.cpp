// The user parameter file: the saved bytes, the round trip, the model check, the skip rules,
// malformed files, failures to open and to write, and the printout lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>


#include "ParamFixture.h"
#include "support/Immutable.h"
#include "params/CParamFile.h"
#include "params/CParamListRules.h"
#include "params/CParamPrintout.h"
#include "support/CodePageTexts.h"

namespace kvl::params {
namespace {

const ParamDate kDate{2010, 9, 28};

const char *const kMdbLevel0 =
    "2010/0928\r\n"
    "MDB\r\n"
    "\r\n"
    "\r\n"
    "001.  Soft limit + = 400.00 mm\r\n"
    "002.  Soft limit - = -10.00 mm\r\n"
    "003.  Zone + = 300.00 mm\r\n"
    "004.  Zone - = 0.00 mm\r\n"
    "005.  Direction = 0\r\n"
    "009.  Acceleration = 1.0 G\r\n"
    "012.  Position range = 100 pulse\r\n"
    "016.  Jog speed = 10.00 mm/s\r\n"
    "031.  Inching distance = 1.00 mm\r\n"
    "036.  Operation type = 0\r\n"
    "045.  Pulse resolution = 0\r\n"
    "100.  Axis name = AXIS\r\n"
    "102.  Stroke = 5000 mm\r\n"
    "151.  Push limit = 70 %\r\n"
    "182.  Push check = 0\r\n";

// A file of `target`'s model with the given parameter lines (CR LF ends added).
std::string FileWith(const std::string &modelLine, std::initializer_list<const char *> lines)
{
    std::string content = "2010/0928\r\n" + modelLine + "\r\n\r\n\r\n";
    for (const char *line : lines)
        content += std::string(line) + "\r\n";
    return content;
}

TEST(ParamFile, SavedContentIsByteExact)
{
    const ParamTarget target = test::MdbTarget();
    const CParamList file = test::LoadList(target);
    EXPECT_EQ(CParamFile::Serialise(file, target, kDate).Bytes(), kMdbLevel0);

    ParamTarget custom = target;
    custom.accessLevel = 1;
    const std::string level1 = CParamFile::Serialise(file, custom, kDate).Bytes();
    EXPECT_NE(level1.find("016.  Jog speed = 10.00 mm/s\r\n020.  Gain A = 50\r\n"
                          "021.  Gain B = 60\r\n031."),
              std::string::npos)
        << "unit \"-\" is left out with its blank; classes 2 and 3 at level 1";
    EXPECT_EQ(level1.find("022."), std::string::npos) << "hide class 1 is never saved";

    ParamTarget variant = target;
    variant.model = "MDC-X";
    variant.version = "";
    EXPECT_EQ(CParamFile::Serialise(file, variant, kDate).Bytes().substr(0, 17), "2010/0928\r\nXMDC\r\n");

    CParamData real = file.At(1);
    real.SetRealValue(1.23456);
    EXPECT_EQ(CParamFile::ParameterLine(real, 1, 3).Bytes(), "001.  Soft limit + = 1.23 mm")
        << "DisplayPrecision decimals, whatever the grid shows";
    CParamData noUnit = file.At(12);
    noUnit.SetUnitName(test::Western(""));
    EXPECT_EQ(CParamFile::ParameterLine(noUnit, 12, 3).Bytes(), "012.  Position range = 100 ");
    EXPECT_EQ(CParamFile::DateLine({2026, 1, 2}), "2026/0102");
}

TEST(ParamFile, SaveAndLoadRoundTripRestoresEverySavedValue)
{
    test::TempDir dir;
    ParamTarget target = test::MdbTarget();
    target.accessLevel = 2;
    CParamList file = test::LoadList(target);
    file.At(1).SetRealValue(123.45);
    file.At(2).SetRealValue(-99.5);
    file.At(5).SetIndex(1);
    file.At(9).SetRealValue(2.5);
    file.At(12).SetIntValue(4321);
    file.At(20).SetIntValue(99);
    file.At(21).SetIntValue(1);
    file.At(36).SetIndex(5);
    file.At(45).SetIndex(16);
    file.At(100).SetTextValue(test::Western("MY AXIS 2"));
    file.At(151).SetIntValue(0);
    const std::string path = dir.File("axis.dat");
    ASSERT_TRUE(CParamFile::Save(path, file, target, kDate));

    CParamList loaded = test::LoadList(target);
    const ParamLoadReport report = CParamFile::Load(loaded, path, target);
    ASSERT_EQ(report.status, ParamFileStatus::Loaded);
    EXPECT_TRUE(report.message.Empty());
    for (int n : {1, 2, 3, 4, 9, 16, 31})
        EXPECT_DOUBLE_EQ(loaded.At(n).RealValue(), file.At(n).RealValue()) << n;
    for (int n : {12, 20, 21, 102, 151, 182})
        EXPECT_EQ(loaded.At(n).IntValue(), file.At(n).IntValue()) << n;
    for (int n : {5, 36, 45})
        EXPECT_EQ(loaded.At(n).SelectedIndex(), file.At(n).SelectedIndex()) << n;
    EXPECT_EQ(loaded.At(100).TextValue().Bytes(), "MY AXIS 2") << "a name keeps its blanks";
    EXPECT_TRUE(loaded.At(45).IsChanged()) << "loading marks changed choices";
    EXPECT_EQ(report.numbers.size(), 17u);
    EXPECT_EQ(CParamFile::Serialise(loaded, target, kDate).Bytes(), test::ReadBytes(path));
}

TEST(ParamFile, ModelCheckOfTheSecondLine)
{
    struct Case {
        const char *modelLine;
        const char *model;
        ParamFileStatus status;
        const char *fileModel; // the model a refused file names
    };
    constexpr auto kLoaded = ParamFileStatus::Loaded;
    constexpr auto kOther = ParamFileStatus::ModelMismatch;
    constexpr auto kNotFile = ParamFileStatus::NotParamFile;
    const Case cases[] = {
        {"MDB", "MDB", kLoaded, ""},       {" mdb \t", "MDB", kLoaded, ""},   {"MDB", "MDC", kOther, "MDB"},
        {"MDC", "MDB", kOther, "MDC"},     {"", "MDA", kLoaded, ""},          {"", "MDB", kOther, "MDA"},
        {"XMDC", "MDC-X", kLoaded, ""},    {"MDC-X", "MDC-X", kNotFile, ""}, {"zmda", "MDA-Z", kLoaded, ""},
        {"xmdc", "MDB", kOther, "MDC-X"},  {"MDB extra", "MDB", kNotFile, ""}, {"hello world", "MDB", kNotFile, ""},
        {"012.  Position range = 7 pulse", "MDB", kNotFile, ""},
    };
    for (const Case &c : cases) {
        ParamTarget target = test::MdbTarget();
        target.model = c.model;
        CParamList file = test::LoadList(target);
        const ParamLoadReport report = CParamFile::LoadText(
            file, FileWith(c.modelLine, {"012.  Position range = 250 pulse"}), target);
        SCOPED_TRACE(testing::Message() << "'" << c.modelLine << "' into " << c.model);
        EXPECT_EQ(report.status, c.status);
        EXPECT_EQ(report.fileModel, c.fileModel);
        if (c.status == kLoaded) {
            EXPECT_EQ(file.At(12).IntValue(), 250);
        } else {
            EXPECT_EQ(report.message, (ParamMessage{"IDS_WARNMSG_READPARAM_MACHINE_ERR",
                                                    "IDD_KVL_VER2_PMTLIST_DIALOG"}));
            EXPECT_EQ(file.At(12).IntValue(), 100) << "nothing is loaded";
        }
    }
    // A parameter line before the model line is not taken from a refused file either.
    ParamTarget target = test::MdbTarget();
    CParamList file = test::LoadList(target);
    EXPECT_EQ(CParamFile::LoadText(file, "012.  Position range = 7 pulse\r\nMDC\r\n", target).status,
              ParamFileStatus::ModelMismatch);
    EXPECT_EQ(file.At(12).IntValue(), 100);
    EXPECT_EQ(CParamFile::LoadText(file, "only one line", target).status,
              ParamFileStatus::ModelMismatch)
        << "a missing second line reads as an empty one (MDA)";
}

TEST(ParamFile, ValueRulesOfALine)
{
    struct Case {
        const char *line;
        int number;
        const char *expected; // value as the file would save it afterwards
    };
    const Case cases[] = {
        {"012.  Position range = 250 pulse", 12, "250"},
        {"012.  Position range = 250", 12, "100"},          // unit removed by hand
        {"012.  Position range = 250pulse", 12, "100"},
        {"012.  Position range = 250 mm", 12, "250"},       // whatever unit follows
        {"012.  Position range = 99999 pulse", 12, "100"},  // outside the range: unchanged
        {"012.  Position range = -5 pulse", 12, "100"},
        {"012.  Position range = 5000 pulse", 12, "5000"},
        {"012.  Position range = 99999999999 pulse", 12, "100"},
        {"012.  Position range = 12.0 pulse", 12, "100"},
        {"012 . anything = 300 pulse", 12, "300"},
        {"12.Position range=301 pulse", 12, "301"},
        {"012.  Position range 250 pulse", 12, "100"},      // no "="
        {"016.  Jog speed = 12.5 mm/s", 16, "12.50"},
        {"016.  Jog speed = 12.5", 16, "10.00"},
        {"016.  Jog speed = abc mm/s", 16, "10.00"},         // not a number: unchanged
        {"016.  Jog speed = -.5e1 mm/s", 16, "10.00"},       // no exponent: unchanged
        {"016.  Jog speed = 1e308 mm/s", 16, "10.00"},
        {"016.  Jog speed = -0 mm/s", 16, "0.00"},           // a zero, never "-0.00"
        {"016.  Jog speed = -0.5 mm/s", 16, "10.00"},        // below the range: unchanged
        {"012.  Position range = 12abc pulse", 12, "100"},
        {"016.  Jog speed = nan mm/s", 16, "10.00"},
        {"016.  Jog speed = inf mm/s", 16, "10.00"},
        {"045.  Pulse resolution = 16", 45, "16"},
        {"045.  Pulse resolution = 0016", 45, "16"},
        {"045.  Pulse resolution = 17", 45, "0"},             // outside the list: unchanged
        {"045.  Pulse resolution = 12 x", 45, "12"},
        {"045.  Pulse resolution = abc", 45, "0"},
        {"045.  Pulse resolution = 16abc", 45, "0"},
        {"045.  Pulse resolution = 4294967312", 45, "0"},   // 16 in the low 32 bits
        {"036.  Operation type = 3", 36, "3"},
        {"036.  Operation type = ", 36, "0"},                // empty: the first choice
        {"036.  Operation type = -1", 36, "2"},             // set to 2 before each line
        {"100.  Axis name = NEW NAME", 100, "NEW NAME"},
        {"100.  Axis name = ABCDEFGHIJKLMNOPQRSTU", 100, "ABCDEFGHIJKLMNOP"},
        {"020.  Gain A = 30", 20, "50"},                     // hidden at level 0: not loaded
        {"022.  Factory code = 30", 22, "7"},
    };
    for (const Case &c : cases) {
        const ParamTarget target = test::MdbTarget();
        CParamList file = test::LoadList(target);
        file.At(36).SetIndex(2);
        CParamFile::LoadText(file, FileWith("MDB", {c.line}), target);
        EXPECT_EQ(CParamListRules::FileValueText(file.At(c.number)).Bytes(), c.expected) << c.line;
    }
}

// The lines whose values were not taken are reported with their line numbers, in a message
// that lists them under its text.
TEST(ParamFile, LinesWhoseValuesAreNotTakenAreListed)
{
    const ParamTarget target = test::MdbTarget();
    CParamList file = test::LoadList(target);
    const ParamLoadReport report = CParamFile::LoadText(
        file,
        FileWith("MDB", {"012.  Position range = 99999 pulse", "031.  Inching distance = 2.5 mm",
                         "016.  Jog speed = nan mm/s", "045.  Pulse resolution = 17",
                         "012.  Position range = 250", "020.  Gain A = abc"}),
        target);
    EXPECT_EQ(report.status, ParamFileStatus::Loaded);
    EXPECT_EQ(report.numbers, std::vector<int>{31});
    ASSERT_EQ(report.refused.size(), 3u);
    EXPECT_EQ(report.refused[0].line, 5);
    EXPECT_EQ(report.refused[0].text, test::Western("012.  Position range = 99999 pulse"));
    EXPECT_EQ(report.refused[1].line, 7);
    EXPECT_EQ(report.refused[2].line, 8);
    EXPECT_EQ(report.message.key, "IDS_WARNMSG_READPARAM_BAD_VALUES");
    EXPECT_EQ(report.message.detail,
              "012.  Position range = 99999 pulse\n016.  Jog speed = nan mm/s\n045.  Pulse resolution = 17");

    CParamList clean = test::LoadList(target);
    EXPECT_TRUE(CParamFile::LoadText(clean, FileWith("MDB", {"012.  Position range = 250 pulse"}), target)
                    .message.Empty());
}

TEST(ParamFile, NumbersOutsideTheAxisAreIgnored)
{
    ParamTarget target = test::MdbTarget();
    target.version = "1075"; // old: 151 parameters
    CParamList file = test::LoadList(target);
    const ParamLoadReport report = CParamFile::LoadText(
        file,
        FileWith("MDB", {"000.  Zero = 1", "050.  Gap = 1", "099.  Gap = 1", "182.  Push check = 9",
                         "200.  Beyond = 1", "-12.  Negative = 1", "2010/0928",
                         "151.  Push limit = 80 %"}),
        target);
    EXPECT_EQ(report.numbers, std::vector<int>{151});
    EXPECT_EQ(file.At(182).IntValue(), 0);
    EXPECT_EQ(file.At(151).IntValue(), 80);
}

TEST(ParamFile, Parameter102LimitsParameter12WhileLoading)
{
    struct Case {
        const char *model;
        const char *modelLine;
        bool limited;
    };
    const Case cases[] = {{"MDB", "MDB", true}, {"MDC", "MDC", true}, {"MDC-X", "XMDC", true},
                          {"MDA", "MDA", false}};
    for (const Case &c : cases) {
        ParamTarget target = test::MdbTarget();
        target.model = c.model;
        CParamList file = test::LoadList(target);
        CParamFile::LoadText(
            file,
            FileWith(c.modelLine, {"012.  Position range = 4000 pulse", "102.  Stroke = 3000 mm"}),
            target);
        EXPECT_EQ(file.At(102).IntValue(), 3000) << c.model;
        EXPECT_EQ(file.At(12).IntMax(), c.limited ? 3000 : 5000) << c.model;
        EXPECT_EQ(file.At(12).MaxText(), c.limited ? "3000" : "5000") << c.model;
        EXPECT_EQ(file.At(12).IntValue(), c.limited ? 3000 : 4000) << c.model;
    }
}

TEST(ParamFile, MalformedContentNeverCrashesAndGoodLinesStillLoad)
{
    const ParamTarget target = test::MdbTarget();
    std::string garbage = "2010/0928\nMDB\n";
    garbage += std::string(100000, 'x').append("\n");
    garbage += std::string("\0\0\0=.\xff\xfe", 7) + "\n";
    garbage += "=\n.\n.=\n==..==\n9999999999999999999999. x = 1\n";
    garbage += "016.  Jog speed = 1e308000 mm/s\n";
    garbage += "\r\r\r012.  Position range = 42 pulse\r";
    garbage += "031.  Inching distance = 2.5 mm"; // no line end at the end: the file was cut
    CParamList file = test::LoadList(target);
    const double inchingBefore = file.At(31).RealValue();
    const ParamLoadReport report = CParamFile::LoadText(file, garbage, target);
    EXPECT_EQ(report.status, ParamFileStatus::Loaded);
    EXPECT_EQ(file.At(12).IntValue(), 42) << "CR alone ends a line";
    EXPECT_DOUBLE_EQ(file.At(31).RealValue(), inchingBefore) << "a line the file ends in is never taken";
    ASSERT_FALSE(report.refused.empty());
    EXPECT_TRUE(report.refused.back().cut);
    EXPECT_EQ(report.refused.back().text, test::Western("031.  Inching distance = 2.5 mm"));
    EXPECT_DOUBLE_EQ(file.At(16).RealValue(), 10.0) << "a value that overflows changes nothing";

    for (const char *blank : {"", "\r\n\r\n", "  \n"}) {
        CParamList empty = test::LoadList(target);
        const ParamLoadReport none = CParamFile::LoadText(empty, blank, target);
        EXPECT_EQ(none.status, ParamFileStatus::NotParamFile) << '"' << blank << '"';
        EXPECT_TRUE(none.blank);
    }
}

TEST(ParamFile, CodePageBytesTravelUnchanged)
{
    test::TempDir dir;
    const ParamTarget target = test::MdbTarget();
    // CP932 names whose trail bytes are "\" and "|": written and read back as they are.
    const std::string name = "\x83\x5c\x83\x74\x83\x67\x7c";
    std::string ini = test::MdbDefinitions();
    ini += "[13]\nDisplayName=" + name + "\nType=1\nUnitName=\x83\x70\x83\x8b\x83\x58\nMin=0\n"
           "Max=9\nWRITE=1\nValue=4\n";
    CParamList file = test::LoadList(target, ini);
    const std::string path = dir.File("cp932.dat");
    ASSERT_TRUE(CParamFile::Save(path, file, target, kDate));
    const std::string bytes = test::ReadBytes(path);
    EXPECT_NE(bytes.find("013.  " + name + " = 4 \x83\x70\x83\x8b\x83\x58\r\n"), std::string::npos);

    file.At(13).SetIntValue(1);
    ASSERT_EQ(CParamFile::Load(file, path, target).status, ParamFileStatus::Loaded);
    EXPECT_EQ(file.At(13).IntValue(), 4);
}

TEST(ParamFile, OpenFailuresAreNamed)
{
    test::TempDir dir;
    const ParamTarget target = test::MdbTarget();
    CParamList file = test::LoadList(target);
    ParamLoadReport report = CParamFile::Load(file, dir.File("missing.dat"), target);
    EXPECT_EQ(report.status, ParamFileStatus::NotFound);
    EXPECT_EQ(report.message, (ParamMessage{"IDS_ERRMSG_FILENOTFOUND", "Common"}));
    report = CParamFile::Load(file, dir.File("missing/inside.dat"), target);
    EXPECT_EQ(report.status, ParamFileStatus::NotFound);
    report = CParamFile::Load(file, dir.Path().string(), target);
    EXPECT_EQ(report.status, ParamFileStatus::Failed);
    EXPECT_EQ(report.message, (ParamMessage{"IDS_ERRMSG_FILEOPRATIONFAIL", "Common"}));
    EXPECT_EQ(CParamFile::MessageFor(ParamFileStatus::InUse),
              (ParamMessage{"IDS_ERRMSG_FILEHAVEOPENED", "Common"}));
    EXPECT_EQ(file.At(12).IntValue(), 100);
}

std::size_t EntriesIn(const std::filesystem::path &folder)
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

TEST(ParamFile, FailedSaveIsReportedAndLeavesThePreviousFile)
{
    test::TempDir dir;
    const ParamTarget target = test::MdbTarget();
    const CParamList file = test::LoadList(target);

    EXPECT_FALSE(CParamFile::Save(dir.File("missing/axis.dat"), file, target, kDate));
    EXPECT_FALSE(CParamFile::Save(dir.Path().string(), file, target, kDate)) << "a folder";
    EXPECT_FALSE(CParamFile::Save("", file, target, kDate));
    EXPECT_EQ(EntriesIn(dir.Path()), 0u) << "no temporary file is left behind";

    const std::string path = dir.File("axis.dat");
    test::WriteBytes(path, "previous content");
    ASSERT_TRUE(CParamFile::Save(path, file, target, kDate));
    EXPECT_EQ(test::ReadBytes(path), kMdbLevel0) << "an existing file is replaced";
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);

    test::WriteBytes(path, "previous content");
    if (!test::SetImmutable(dir.Path().string(), true))
        GTEST_SKIP() << "this file system cannot make a folder unwritable";
    const bool saved = CParamFile::Save(path, file, target, kDate);
    test::SetImmutable(dir.Path().string(), false);
    EXPECT_FALSE(saved);
    EXPECT_EQ(test::ReadBytes(path), "previous content");
}

TEST(ParamFile, DatExtension)
{
    const std::pair<const char *, const char *> cases[] = {
        {"axis", "axis.dat"},         {"axis.dat", "axis.dat"},     {"axis.DAT", "axis.DAT"},
        {"axis.Dat", "axis.Dat"},     {"axis.txt", "axis.txt.dat"}, {"dir.v2/axis", "dir.v2/axis.dat"},
        {"axis.data", "axis.data.dat"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(CParamFile::WithDatExtension(in), out) << in;
}

TEST(ParamPrintout, LinesFollowTheSaveRules)
{
    ParamTarget target = test::MdbTarget();
    const CParamList file = test::LoadList(target);
    std::vector<std::string> lines = CParamPrintout::Lines(file, target, kDate);
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[0], "2010/0928");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "01.  Soft limit + = 400.00 mm");
    EXPECT_EQ(lines[6], "05.  Direction = 0");
    EXPECT_EQ(lines[13], "100.  Axis name = AXIS");
    EXPECT_EQ(lines[16], "182.  Push check = 0");
    for (const std::string &line : lines)
        EXPECT_EQ(line.find("Gain"), std::string::npos) << "classes 2 and 3 left out at level 0";

    target.accessLevel = 2;
    lines = CParamPrintout::Lines(file, target, kDate);
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[10], "20.  Gain A = 50");
    EXPECT_EQ(lines[11], "21.  Gain B = 60");
}

} // namespace
} // namespace kvl::params
