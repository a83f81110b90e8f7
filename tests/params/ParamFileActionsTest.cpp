// The parameter list's file actions without a window: what each button asks, closes, tells and
// hands on; a failed save is said; a cancelled dialog does nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ParamFixture.h"
#include "params/CParamFileActions.h"
#include "params/CParamPrintout.h"

namespace kvl::params {
namespace {

const ParamDate kDate{2010, 9, 28};
const ParamMessage kFailed{"IDS_ERRMSG_FILEOPRATIONFAIL", "Common"};

// The screen as the actions see it: the answers of the file dialog, and what came out.
struct Screen {
    std::optional<std::string> path;          // what the file dialog answers (none: Cancel)
    bool printOk = true;
    std::vector<std::string> events;          // "close", "ask-save", "ask-open", "print", "changed"
    std::vector<ParamMessage> messages;
    std::vector<CSaveFailure> saveFailures;
    std::vector<std::string> printed;

    CParamFileActions::Hooks Hooks()
    {
        CParamFileActions::Hooks hooks;
        hooks.closeEditor = [this] { events.push_back("close"); };
        hooks.askPath = [this](CParamFileActions::Dialog dialog) {
            events.push_back(dialog == CParamFileActions::Dialog::kSave ? "ask-save" : "ask-open");
            return path;
        };
        hooks.message = [this](const ParamMessage &message) { messages.push_back(message); };
        hooks.saveFailed = [this](const CSaveFailure &failure) { saveFailures.push_back(failure); };
        hooks.print = [this](const std::vector<std::string> &lines) {
            events.push_back("print");
            printed = lines;
            return printOk;
        };
        hooks.changed = [this] { events.push_back("changed"); };
        return hooks;
    }
};

class ParamFileActionsTest : public ::testing::Test {
protected:
    CParamFileActions Make(Screen &screen)
    {
        return CParamFileActions(m_file, [this] { return m_target; }, screen.Hooks(), [] { return kDate; });
    }

    test::TempDir m_dir;
    ParamTarget m_target = test::MdbTarget();
    CParamList m_file = test::LoadList(m_target);
};

TEST_F(ParamFileActionsTest, EachButtonClosesTheEditorFirstAndACancelledDialogDoesNothing)
{
    using Outcome = CParamFileActions::Outcome;
    const struct {
        const char *button;
        Outcome (CParamFileActions::*press)();
        const char *asks;
    } cases[] = {{"save", &CParamFileActions::Save, "ask-save"}, {"read", &CParamFileActions::Read, "ask-open"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.button);
        Screen screen;
        m_file.At(12).SetIntValue(77);
        CParamFileActions actions = Make(screen);
        EXPECT_EQ((actions.*c.press)(), Outcome::kCancelled);
        EXPECT_EQ(screen.events, (std::vector<std::string>{"close", c.asks}));
        EXPECT_TRUE(screen.messages.empty());
        EXPECT_EQ(m_file.At(12).IntValue(), 77);
        EXPECT_TRUE(std::filesystem::is_empty(m_dir.Path())) << "nothing saved";
    }
    Screen printing;
    EXPECT_EQ(Make(printing).Print(), Outcome::kDone);
    EXPECT_EQ(printing.events, (std::vector<std::string>{"close", "print"}));
    EXPECT_EQ(printing.printed, CParamPrintout::Lines(m_file, m_target, kDate));
    printing.printOk = false;
    EXPECT_EQ(Make(printing).Print(), Outcome::kFailed);
}

TEST_F(ParamFileActionsTest, SaveAppendsDatAndAFailedSaveIsSaidOnce)
{
    const struct {
        std::string name;      // under the scratch folder
        bool saved;
        std::string written;   // the file that holds the save, or the one that failed
        CSaveFailure::Cause cause;
    } cases[] = {
        {"axis", true, "axis.dat", {}},
        {"axis.DAT", true, "axis.DAT", {}},
        {"axis.txt", true, "axis.txt.dat", {}},
        {"missing/axis.dat", false, "missing/axis.dat", CSaveFailure::Cause::kNoFolder},
        {"folder.dat", false, "folder.dat", CSaveFailure::Cause::kIsFolder},   // a folder of that name is in the way
    };
    std::filesystem::create_directory(m_dir.File("folder.dat"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Screen screen;
        screen.path = m_dir.File(c.name);
        CParamFileActions actions = Make(screen);
        EXPECT_EQ(actions.Save(), c.saved ? CParamFileActions::Outcome::kDone : CParamFileActions::Outcome::kFailed);
        if (c.saved) {
            EXPECT_TRUE(screen.messages.empty());
            EXPECT_EQ(actions.LastSaved(), m_dir.File(c.written));
            EXPECT_TRUE(std::filesystem::exists(m_dir.File(c.written)));
        } else {
            EXPECT_TRUE(screen.messages.empty());
            ASSERT_EQ(screen.saveFailures.size(), 1u) << "said once, naming the file and the cause";
            EXPECT_EQ(screen.saveFailures.front().Path(), m_dir.File(c.written));
            EXPECT_EQ(screen.saveFailures.front().GetCause(), c.cause);
            EXPECT_TRUE(actions.LastSaved().empty());
        }
    }
}

TEST_F(ParamFileActionsTest, ReadSaysWhyAFileWasRefusedAndRedrawsOnlyAfterALoad)
{
    Screen saving;
    saving.path = m_dir.File("mdb");
    m_file.At(12).SetIntValue(42);
    ASSERT_EQ(Make(saving).Save(), CParamFileActions::Outcome::kDone);
    m_file.At(12).SetIntValue(100);

    test::WriteBytes(m_dir.File("mdc.dat"), "2010/0928\r\nMDC\r\n\r\n\r\n012.  Position range = 7 pulse\r\n");
    const struct {
        std::string file;
        std::optional<ParamMessage> message;
        int value12;
    } cases[] = {
        {"missing.dat", ParamMessage{"IDS_ERRMSG_FILENOTFOUND", "Common"}, 100},
        {"mdc.dat", ParamMessage{"IDS_WARNMSG_READPARAM_MACHINE_ERR", "IDD_KVL_VER2_PMTLIST_DIALOG"}, 100},
        {"", kFailed, 100},   // the scratch folder itself
        {"mdb.dat", std::nullopt, 42},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        Screen screen;
        screen.path = c.file.empty() ? m_dir.Path().string() : m_dir.File(c.file);
        const bool loaded = !c.message.has_value();
        EXPECT_EQ(Make(screen).Read(), loaded ? CParamFileActions::Outcome::kDone : CParamFileActions::Outcome::kFailed);
        EXPECT_EQ(screen.messages, c.message ? std::vector<ParamMessage>{*c.message} : std::vector<ParamMessage>{});
        EXPECT_EQ(screen.events.back() == "changed", loaded);
        EXPECT_EQ(m_file.At(12).IntValue(), c.value12);
    }
}

} // namespace
} // namespace kvl::params
