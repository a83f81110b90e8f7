// Loading an axis' parameter list from its parameter file, offline and online (through a fake
// controller), including malformed files and the values read at opening.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "config/TestFiles.h"
#include "config/CIniEx.h"
#include "params/CParamList.h"
#include "params/IParamReader.h"
#include "link/ResultCode.h"

namespace kvl::params {
namespace {

class FakeController : public IParamReader {
public:
    std::string model = "MDB";
    std::string version = "1305";
    std::string name = "LIFT";
    int deviceTypeResult = kResultOk;
    std::map<int, std::int32_t> values;     // parameters that answer
    std::map<int, int> failures;            // parameters that fail with a code
    std::vector<int> asked;                 // parameter numbers in the order asked
    int deviceTypeCalls = 0;

    int ReadDeviceType(std::string &m, std::string &v, std::string &n) override
    {
        ++deviceTypeCalls;
        if (deviceTypeResult != kResultOk)
            return deviceTypeResult;
        m = model;
        v = version;
        n = name;
        return kResultOk;
    }
    int ReadParameter(std::int32_t &value, int number) override
    {
        asked.push_back(number);
        if (auto f = failures.find(number); f != failures.end())
            return f->second;
        auto found = values.find(number);
        if (found == values.end())
            return kResultTimeout;
        value = found->second;
        return kResultOk;
    }
};

// A parameter file of a few numbers; each test adds what it needs.
const char *const kBaseFile =
    "[1]\r\nDisplayName=Zone upper\r\nType=2\r\nUnitName=mm\r\nMin=-9999.9999\r\n"
    "Max=9999.9999\r\nDisplayPrecision=4\r\nMode=1\r\nValue=100.0000\r\nWRITE=1\r\n"
    "HIDE=0\r\nServoW=0\r\n"
    "[16]\r\nDisplayName=Jog speed\r\nType=1\r\nUnitName=mm/s\r\nMin=1\r\nMax=500\r\n"
    "Mode=2\r\nValue=50\r\nWRITE=1\r\nHIDE=0\r\nServoW=2\r\n"
    "[31]\r\nDisplayName=Inching distance\r\nType=2\r\nUnitName=mm\r\nMin=0\r\nMax=100\r\n"
    "DisplayPrecision=2\r\nMode=2\r\nValue=0.10\r\nWRITE=1\r\nServoW=2\r\n"
    "[36]\r\nDisplayName=Operation type\r\nType=3\r\nSelItemCount=3\r\nSelItem1=TYPE0\r\n"
    "SelItem2=TYPE1\r\nSelItem3= TYPE2 \r\nRange=TYPE0-2\r\nMode=4\r\nValue=TYPE1\r\nWRITE=1\r\n"
    "[45]\r\nDisplayName=Pulse resolution\r\nType=3\r\nSelItemCount=2\r\nSelItem1=2500\r\n"
    "SelItem2=3125\r\nValue=3125\r\nWRITE=1\r\nHIDE=2\r\n"
    "[100]\r\nDisplayName=Axis name\r\nType=4\r\nValue=OLD NAME\r\nWRITE=1\r\nHIDE=3\r\n"
    "[151]\r\nDisplayName=Push limit\r\nType=1\r\nUnitName=%\r\nMin=0\r\nMax=300\r\n"
    "Value=70\r\n"
    "[170]\r\nDisplayName=Only on new firmware\r\nType=1\r\nMin=0\r\nMax=9\r\nValue=4\r\n";

class CParamListLoad : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string path = dir.File("ParamMDB_EN.ini");

    CIniEx OpenStore(const std::string &content)
    {
        test::WriteBytes(path, content);
        CIniEx store;
        EXPECT_TRUE(store.Open(path, true, false, true));
        return store;
    }
    std::string SavedValue(int number)
    {
        CIniEx reread;
        EXPECT_TRUE(reread.Open(path, false, false, true));
        return reread.GetString(std::to_string(number), "Value", "<none>");
    }
};

TEST_F(CParamListLoad, OfflineFillsEveryKeyByType)
{
    CIniEx store = OpenStore(kBaseFile);
    CParamList list;
    CParamList::Axis axis{"MDB", "", "", 0};
    EXPECT_EQ(list.Load(store, axis, nullptr), 0);

    const CParamData &zone = list.At(1);
    EXPECT_EQ(zone.GetType(), CParamData::kTypeReal);
    EXPECT_EQ(zone.NumberText(), "1");
    EXPECT_EQ(zone.DisplayName().Bytes(), "Zone upper");
    EXPECT_EQ(zone.UnitName().Bytes(), "mm");
    EXPECT_DOUBLE_EQ(zone.RealMin(), -9999.9999);
    EXPECT_DOUBLE_EQ(zone.RealMax(), 9999.9999);
    EXPECT_EQ(zone.MinText(), "-9999.9999");
    EXPECT_EQ(zone.MaxText(), "9999.9999");
    EXPECT_EQ(zone.Precision(), 4);
    EXPECT_DOUBLE_EQ(zone.RealValue(), 100.0);
    EXPECT_EQ(zone.Tab(), 1);
    EXPECT_TRUE(zone.IsWritable());

    const CParamData &jog = list.At(16);
    EXPECT_EQ(jog.GetType(), CParamData::kTypeInteger);
    EXPECT_EQ(jog.IntMin(), 1);
    EXPECT_EQ(jog.IntMax(), 500);
    EXPECT_EQ(jog.IntValue(), 50);
    EXPECT_EQ(jog.WriteCaution(), CParamData::kCautionNever);

    const CParamData &type = list.At(36);
    ASSERT_EQ(type.ChoiceCount(), 3);
    EXPECT_EQ(type.Choices()[2].Bytes(), "TYPE2");
    EXPECT_EQ(type.SelectedIndex(), 1);
    EXPECT_EQ(type.RangeText().Bytes(), "TYPE0-2");
    EXPECT_EQ(type.MinText(), "") << "selections keep no Min/Max texts";

    EXPECT_EQ(list.At(45).HideClass(), CParamData::kHideBelowCustom);
    EXPECT_EQ(list.At(100).TextValue().Bytes(), "OLD NAME");
    EXPECT_EQ(list.At(100).HideClass(), CParamData::kHideBelowCustomGreyed);
    EXPECT_EQ(list.At(151).IntValue(), 70);
    EXPECT_EQ(list.At(170).IntValue(), 4) << "offline MDB walks to 182";
    EXPECT_TRUE(list.At(2).IsEmpty());
    EXPECT_TRUE(list.At(0).IsEmpty());
    EXPECT_TRUE(list.At(257).IsEmpty());
}

TEST_F(CParamListLoad, NumbersOutsideTheWalkedRangeAreNeverLoaded)
{
    std::string content = kBaseFile;
    content += "[60]\r\nDisplayName=Between blocks\r\nType=1\r\nValue=3\r\n";
    content += "[112]\r\nDisplayName=Above MDA range\r\nType=1\r\nValue=3\r\n";
    CIniEx store = OpenStore(content);
    CParamList list;
    CParamList::Axis axis{"MDA", "", "", 0};
    list.Load(store, axis, nullptr);
    EXPECT_TRUE(list.At(60).IsEmpty());
    EXPECT_TRUE(list.At(112).IsEmpty());
    EXPECT_TRUE(list.At(151).IsEmpty());
    EXPECT_FALSE(list.At(100).IsEmpty());
}

TEST_F(CParamListLoad, ReloadingClearsSlotsOfTheEarlierLoad)
{
    CIniEx store = OpenStore(kBaseFile);
    CParamList list;
    CParamList::Axis mdb{"MDB", "", "", 0};
    list.Load(store, mdb, nullptr);
    ASSERT_FALSE(list.At(170).IsEmpty());
    CParamList::Axis mda{"MDA", "", "", 0};
    list.Load(store, mda, nullptr);
    EXPECT_TRUE(list.At(170).IsEmpty());
}

TEST(CParamListRecord, MalformedSections)
{
    const struct {
        const char *what;
        const char *section;
        int type;
    } cases[] = {
        {"no DisplayName", "[5]\nType=1\nMin=0\nMax=9\n", CParamData::kTypeEmpty},
        {"empty DisplayName", "[5]\nDisplayName=\nType=1\n", CParamData::kTypeEmpty},
        {"no Type", "[5]\nDisplayName=Thing\n", CParamData::kTypeEmpty},
        {"Type not a number", "[5]\nDisplayName=Thing\nType=abc\n", CParamData::kTypeEmpty},
        {"Type out of range", "[5]\nDisplayName=Thing\nType=7\n", CParamData::kTypeEmpty},
        {"Type negative", "[5]\nDisplayName=Thing\nType=-1\n", CParamData::kTypeEmpty},
        {"Type with note", "[5]\nDisplayName=Thing\nType=1 ;integer\n", CParamData::kTypeInteger},
        {"leading blank key", "[5]\n DisplayName=Thing\nType=1\n", CParamData::kTypeEmpty},
    };
    for (const auto &c : cases) {
        CIniEx store;
        store.LoadText(c.section, true);
        EXPECT_EQ(CParamList::ReadRecord(store, 5).GetType(), c.type) << c.what;
    }
}

TEST(CParamListRecord, MinGreaterThanMaxGivesTheSameRange)
{
    CIniEx store;
    store.LoadText("[3]\nDisplayName=Limit\nType=2\nMin=500.5\nMax=-2\nDisplayPrecision=4\n"
                   "[7]\nDisplayName=Speed\nType=1\nMin=100\nMax=1\n"
                   "[8]\nDisplayName=Speed\nType=1\nMin=1\nMax=100\n",
                   true);
    const CParamData real = CParamList::ReadRecord(store, 3);
    EXPECT_DOUBLE_EQ(real.RealMin(), -2.0);
    EXPECT_DOUBLE_EQ(real.RealMax(), 500.5);
    EXPECT_EQ(real.MinText(), "500.5") << "range texts stay as written";
    const CParamData reversed = CParamList::ReadRecord(store, 7);
    const CParamData ordered = CParamList::ReadRecord(store, 8);
    EXPECT_EQ(reversed.IntMin(), ordered.IntMin());
    EXPECT_EQ(reversed.IntMax(), ordered.IntMax());
}

TEST(CParamListRecord, MissingAndMalformedKeysGiveTheirDefaults)
{
    CIniEx store;
    store.LoadText("[9]\nDisplayName=Accel\nType=2\nMin=x\nMax=\nDisplayPrecision=many\n"
                   "Value=fast\nMode=\nWRITE=yes\nHIDE=\n",
                   true);
    const CParamData record = CParamList::ReadRecord(store, 9);
    ASSERT_EQ(record.GetType(), CParamData::kTypeReal);
    EXPECT_DOUBLE_EQ(record.RealMin(), 0.0);
    EXPECT_DOUBLE_EQ(record.RealMax(), 0.0);
    EXPECT_EQ(record.Precision(), 0);
    EXPECT_DOUBLE_EQ(record.RealValue(), 0.0);
    EXPECT_EQ(record.Tab(), 0);
    EXPECT_FALSE(record.IsWritable());
    EXPECT_EQ(record.HideClass(), 0);
    EXPECT_EQ(record.WriteCaution(), 0);
    EXPECT_EQ(record.UnitName().Bytes(), "");
}

TEST(CParamListRecord, SelectionsWithoutUsableItems)
{
    const struct {
        const char *what;
        const char *section;
        int count;
    } cases[] = {
        {"no items", "[13]\nDisplayName=Mode\nType=3\nSelItemCount=0\nValue=A\n", 0},
        {"no count", "[13]\nDisplayName=Mode\nType=3\nSelItem1=A\nValue=A\n", 0},
        {"negative count", "[13]\nDisplayName=Mode\nType=3\nSelItemCount=-4\nValue=A\n", 0},
        {"count beyond items", "[13]\nDisplayName=Mode\nType=3\nSelItemCount=1000000000\n"
                               "SelItem1=A\nSelItem2=B\nValue=B\n", 2},
        {"blank items", "[13]\nDisplayName=Mode\nType=3\nSelItemCount=2\nSelItem1= \n"
                        "SelItem2=\nValue=\n", 0},
    };
    for (const auto &c : cases) {
        CIniEx store;
        store.LoadText(c.section, true);
        const CParamData record = CParamList::ReadRecord(store, 13);
        EXPECT_EQ(record.GetType(), CParamData::kTypeSelection) << c.what;
        EXPECT_EQ(record.ChoiceCount(), c.count) << c.what;
        if (c.count == 0) {
            EXPECT_EQ(record.SelectedIndex(), -1) << c.what;
            EXPECT_EQ(record.SelectedText().Bytes(), "") << c.what;
        }
    }
}

TEST(CParamListRecord, StoredSelectionTextMatchingNoChoiceLeavesNothingChosen)
{
    CIniEx store;
    store.LoadText("[5]\nDisplayName=Direction\nType=3\nSelItemCount=2\nSelItem1=Normal\n"
                   "SelItem2=Reverse\nValue=normal\n",
                   true);
    EXPECT_EQ(CParamList::ReadRecord(store, 5).SelectedIndex(), -1);
}

TEST(CParamListRecord, ReloadTextsKeepsValuesAndTheChosenIndex)
{
    CIniEx english;
    english.LoadText("[5]\nDisplayName=Direction\nType=3\nSelItemCount=2\nSelItem1=Normal\n"
                     "SelItem2=Reverse\nValue=Reverse\nRange=Normal/Reverse\n"
                     "[16]\nDisplayName=Jog speed\nType=1\nValue=50\n",
                     true);
    CIniEx other;
    other.LoadText("[5]\nDisplayName=Sens\nType=3\nSelItemCount=2\nSelItem1=Normal\n"
                   "SelItem2=Inverse\nValue=Normal\nRange=N/I\n"
                   "[16]\nDisplayName=Vitesse\nType=1\nValue=7\n",
                   true);
    CParamData direction = CParamList::ReadRecord(english, 5);
    CParamData jog = CParamList::ReadRecord(english, 16);
    CParamList::ReloadTexts(other, 5, direction);
    CParamList::ReloadTexts(other, 16, jog);
    EXPECT_EQ(direction.DisplayName().Bytes(), "Sens");
    EXPECT_EQ(direction.SelectedIndex(), 1);
    EXPECT_EQ(direction.SelectedText().Bytes(), "Inverse");
    EXPECT_EQ(direction.RangeText().Bytes(), "N/I");
    EXPECT_EQ(jog.DisplayName().Bytes(), "Vitesse");
    EXPECT_EQ(jog.IntValue(), 50);
}

TEST_F(CParamListLoad, OnlineTakesModelVersionAndNameFromTheController)
{
    CIniEx store = OpenStore(kBaseFile);
    FakeController controller;
    controller.model = "MDC";
    controller.version = "1070"; // old: parameters stop at 151
    controller.name = "  NEW NAME ";
    CParamList list;
    CParamList::Axis axis{"MDA", "", "window name", 0};
    list.Load(store, axis, &controller);
    EXPECT_EQ(axis.model, "MDC");
    EXPECT_EQ(axis.version, "1070");
    EXPECT_EQ(axis.name, "  NEW NAME ");
    EXPECT_TRUE(list.At(170).IsEmpty());
    EXPECT_FALSE(list.At(151).IsEmpty());
    EXPECT_EQ(list.At(100).TextValue().Bytes(), "NEW NAME");
    EXPECT_EQ(SavedValue(100), "  NEW NAME ");
    EXPECT_EQ(controller.deviceTypeCalls, 2) << "once for the axis, once for the text parameter";
    const std::vector<int> expectedOrder = {1, 16, 31, 36, 45, 151};
    EXPECT_EQ(controller.asked, expectedOrder);
}

TEST_F(CParamListLoad, OnlineWithFailedDeviceTypeKeepsTheWindowsIdentity)
{
    CIniEx store = OpenStore(kBaseFile);
    FakeController controller;
    controller.deviceTypeResult = kResultTimeout;
    CParamList list;
    CParamList::Axis axis{"MDB", "1305", "window name", 0};
    const int failed = list.Load(store, axis, &controller);
    EXPECT_EQ(axis.model, "MDB");
    EXPECT_EQ(axis.name, "window name");
    EXPECT_FALSE(list.At(170).IsEmpty());
    EXPECT_EQ(list.At(100).TextValue().Bytes(), "OLD NAME");
    EXPECT_EQ(failed, 8) << "every parameter read failed (the fake answers none)";
}

TEST_F(CParamListLoad, OnlineValuesAreSetAndStoredAndFailuresKeepTheFileValue)
{
    CIniEx store = OpenStore(kBaseFile);
    FakeController controller;
    controller.values = {{1, 12345}, {16, 900}, {31, 1500}, {36, 2}, {45, 400000}, {170, -3}};
    controller.failures = {{151, kResultBadReply}};
    CParamList list;
    CParamList::Axis axis{"MDB", "", "", 2};
    EXPECT_EQ(list.Load(store, axis, &controller), 1);

    EXPECT_DOUBLE_EQ(list.At(1).RealValue(), 1.2345);
    EXPECT_EQ(SavedValue(1), "1.2345");
    EXPECT_EQ(list.At(16).IntValue(), 900);
    EXPECT_EQ(SavedValue(16), "900") << "not limited to the range at opening";
    EXPECT_EQ(list.At(36).SelectedText().Bytes(), "TYPE2");
    EXPECT_EQ(SavedValue(36), "TYPE2");
    EXPECT_EQ(list.At(45).SelectedIndex(), 0);
    EXPECT_EQ(SavedValue(45), "2500");
    EXPECT_EQ(list.At(170).IntValue(), -3);
    EXPECT_EQ(SavedValue(170), "-3");
    EXPECT_EQ(list.At(151).IntValue(), 70);
    EXPECT_EQ(SavedValue(151), "70");
}

// The opening uses the same factor table as the parameter list: an MDB feed of raw 1500 is
// 1.50 mm, not 15.00 (which the main window would then send back ten times too large).
TEST_F(CParamListLoad, OpeningConvertsWithTheFullFactorTable)
{
    const struct { const char *model; std::int32_t raw; double value; const char *text; } cases[] = {
        {"MDB", 1500, 1.5, "1.50"},
        {"MDC", 1500, 1.5, "1.50"},
        {"MDC-X", 15000, 1.5, "1.50"},
        {"MDA", 15, 1.5, "1.50"},
    };
    for (const auto &c : cases) {
        CIniEx store = OpenStore(kBaseFile);
        FakeController controller;
        controller.model = c.model;
        controller.values = {{31, c.raw}};
        CParamList list;
        CParamList::Axis axis{c.model, "", "", 0};
        list.Load(store, axis, &controller);
        EXPECT_DOUBLE_EQ(list.At(31).RealValue(), c.value) << c.model;
        EXPECT_EQ(SavedValue(31), c.text) << c.model;
        std::int32_t raw = 0;
        ASSERT_TRUE(CParamRules::RawFromRecord(list.At(31), 31, c.model, raw));
        EXPECT_EQ(raw, c.raw) << c.model << ": writing back sends what was read";
    }
}

// At an online opening parameter 12's upper limit is the controller's own parameter 102, on the
// models where 12 follows 102; the shared file's "Max" is left as it is.
TEST_F(CParamListLoad, OnlineOpeningBoundsParameterTwelveByThisControllersParameter102)
{
    const std::string file = std::string(kBaseFile) +
                             "[12]\r\nDisplayName=Current limit\r\nType=1\r\nMin=10\r\nMax=50\r\nValue=50\r\n"
                             "[102]\r\nDisplayName=Current limit maximum\r\nType=1\r\nMin=10\r\nMax=300\r\n"
                             "Value=50\r\n";
    const struct {
        const char *model;
        bool read102;
        int max;
    } cases[] = {
        {"MDC", true, 200}, {"MDB", true, 200}, {"MDC-X", true, 200},
        {"MDC", false, 50}, // 102 did not answer: the file's range stays
        {"MDA", true, 50},  // 12 does not follow 102 on this model
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.model);
        CIniEx store = OpenStore(file);
        FakeController controller;
        controller.model = c.model;
        controller.values = {{12, 150}};
        if (c.read102)
            controller.values[102] = 200;
        CParamList list;
        CParamList::Axis axis{c.model, "", "", 0};
        list.Load(store, axis, &controller);
        EXPECT_EQ(list.At(12).IntMax(), c.max);
        EXPECT_EQ(list.At(12).MaxText(), std::to_string(c.max));
        EXPECT_EQ(list.At(12).IntValue(), 150);
        CIniEx reread;
        ASSERT_TRUE(reread.Open(path, false, false, true));
        EXPECT_EQ(reread.GetString("12", "Max", ""), "50");
    }
}

TEST_F(CParamListLoad, SelectionIndexBeyondTheChoicesKeepsTheFileValue)
{
    CIniEx store = OpenStore(kBaseFile);
    FakeController controller;
    controller.values = {{36, 5}};
    CParamList list;
    CParamList::Axis axis{"MDB", "", "", 0};
    list.Load(store, axis, &controller);
    EXPECT_EQ(list.At(36).SelectedText().Bytes(), "TYPE1");
    EXPECT_EQ(SavedValue(36), "TYPE1");
}

TEST_F(CParamListLoad, OfflineLoadSavesNothingWhenNothingChanged)
{
    CIniEx store = OpenStore(kBaseFile);
    CParamList list;
    CParamList::Axis axis{"MDB", "", "", 0};
    list.Load(store, axis, nullptr);
    EXPECT_FALSE(store.IsChanged());
    EXPECT_EQ(test::ReadBytes(path), kBaseFile);
}

} // namespace
} // namespace kvl::params
