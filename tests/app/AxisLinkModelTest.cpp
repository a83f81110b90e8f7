// The axis link's rules against the in-process simulator: the speed search, the gateway probe,
// the axis scan, the answer/no-answer transitions of the buttons, the busy indicator's refusal
// and the opening of one axis with the gateway's model match.
#include <set>

#include "LinkFixture.h"
#include "app/CAxisLinkModel.h"
#include "sim/GatewayDevice.h"
#include "sim/SimBus.h"
#include "sim/SimOptions.h"

namespace kvl::test {

namespace {

struct HookLog {
    int begins = 0;
    int ends = 0;
    int repaints = 0;
    bool refuse = false;
    std::vector<std::pair<int, int>> progress;
    std::vector<std::pair<std::string, std::string>> messages;
    std::vector<int> opened;
    std::vector<CAxisLinkModel::Status> statuses;
};

std::unique_ptr<sim::SimBus> BusOf(const std::vector<std::string> &options)
{
    sim::SimOptions parsed;
    std::string error;
    EXPECT_TRUE(parsed.Parse(options, &error)) << error;
    return parsed.BuildBus();
}

std::set<int> LinkedAddresses(const CAxisLinkModel &model)
{
    std::set<int> linked;
    for (int a = 0; a < CAxisLinkModel::kAxisCount; ++a) {
        if (model.AxisAt(a).linked)
            linked.insert(a);
    }
    return linked;
}

} // namespace

class AxisLinkModelTest : public LinkModelFixture {
protected:
    CAxisLinkModel &Model()
    {
        if (!m_model) {
            CAxisLinkModel::Hooks hooks;
            hooks.beginBusy = [this] {
                if (m_log.refuse)
                    return false;
                ++m_log.begins;
                return true;
            };
            hooks.endBusy = [this] { ++m_log.ends; };
            hooks.repaint = [this] { ++m_log.repaints; };
            hooks.progress = [this](int done, int total) { m_log.progress.emplace_back(done, total); };
            hooks.message = [this](const std::string &title, const std::string &text) {
                m_log.messages.emplace_back(title, text);
            };
            hooks.changed = [this] { m_log.statuses.push_back(m_model->GetStatus()); };
            hooks.openAxisWindows = [this](int address) { m_log.opened.push_back(address); };
            m_model = std::make_unique<CAxisLinkModel>(*m_commands, m_settings.Texts(), m_values,
                                                       CBusPortAccess::FromSettings(m_settings, m_comm.Ports()), hooks);
        }
        return *m_model;
    }

    HookLog m_log;
    std::unique_ptr<CAxisLinkModel> m_model;
};

TEST_F(AxisLinkModelTest, DemoBusAtAnotherSpeedIsFoundAndItsSpeedStored)
{
    StartSim({"--baud", "57600"});
    UseSimPort(115200);
    CAxisLinkModel &model = Model();

    ASSERT_TRUE(model.Link());

    // The gateway probe asked once at 115200 (unanswered) and found the unit at 57600.
    EXPECT_EQ(m_sim->RequestsGated(), 1u);
    EXPECT_EQ(model.FoundSpeed(), 57600);
    EXPECT_EQ(StoredValue("Speed"), 57600);
    EXPECT_EQ(StoredValue("Port"), kSimPort);
    EXPECT_TRUE(model.GatewayPresent());
    EXPECT_TRUE(m_values.gatewayPresent);
    EXPECT_EQ(model.GatewayVersion(), "1200");
    EXPECT_EQ(LinkedAddresses(model), (std::set<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(model.LinkedCount(), 6);
    EXPECT_TRUE(model.AnyLinked());
    EXPECT_EQ(model.GetStatus(), CAxisLinkModel::Status::kLinked);
    for (int a = 0; a < 6; ++a) {
        const auto &axis = model.AxisAt(a);
        EXPECT_EQ(axis.name, "DEMO " + axis.model) << a;
        EXPECT_EQ(axis.version, "2105") << a;
        EXPECT_EQ(model.ButtonText(a), CAxisLinkModel::UnlinkedText(a) + " " + axis.model + " DEMO " + axis.model);
    }
    EXPECT_EQ(model.ButtonText(6), "6");
    EXPECT_EQ(model.IdentityText(6), "");
    EXPECT_EQ(model.IdentityText(2), "Model: " + model.AxisAt(2).model + "\nVersion: 2105\nName: DEMO " +
                                         model.AxisAt(2).model);
    // One busy period; the status went to linking before the search and to linked after it.
    EXPECT_EQ(m_log.begins, 1);
    EXPECT_EQ(m_log.ends, 1);
    ASSERT_FALSE(m_log.statuses.empty());
    EXPECT_EQ(m_log.statuses.front(), CAxisLinkModel::Status::kLinking);
    EXPECT_EQ(m_log.statuses.back(), CAxisLinkModel::Status::kLinked);
    ASSERT_FALSE(m_log.progress.empty());
    EXPECT_EQ(m_log.progress.back(), std::make_pair(16, 16));
    EXPECT_EQ(model.StatusText(), "Linked");
}

struct LinkCase {
    const char *name;
    std::function<std::unique_ptr<sim::SimBus>()> bus;
    std::set<int> linked;
    bool gateway;
    CAxisLinkModel::Status status;
    int firstProgressTotal;   // addresses probed in the final run; 0 when the search failed
    int searchProbes;         // gateway probes and axis scan probes before the final run
};

TEST_F(AxisLinkModelTest, BusesOfDifferentShapes)
{
    const std::vector<LinkCase> cases = {
        {"axes 2 and 5", [] { return BusOf({"--axis", "2:MDB", "--axis", "5:MDA-Z:2105:LIFTER"}); },
         {2, 5}, false, CAxisLinkModel::Status::kLinked, 14, 3 + 3},
        {"gateway only", [] { return GatewayOnlyBus(); }, {}, true, CAxisLinkModel::Status::kLinked, 16, 1},
        {"axis F only", [] { return BusOf({"--axis", "15:MDC"}); }, {15}, false,
         CAxisLinkModel::Status::kLinked, 1, 3 + 16},
        {"nobody", [] { return std::make_unique<sim::SimBus>(); }, {}, false,
         CAxisLinkModel::Status::kUnlinked, 0, 3 + 3 * 16},
    };
    for (const LinkCase &c : cases) {
        SCOPED_TRACE(c.name);
        StartSimBus(c.bus(), 115200);
        UseSimPort(115200);
        m_model.reset();
        m_log = {};
        CAxisLinkModel &model = Model();
        ASSERT_TRUE(model.Link());
        EXPECT_EQ(LinkedAddresses(model), c.linked);
        EXPECT_EQ(model.LinkedCount(), static_cast<int>(c.linked.size()));
        EXPECT_EQ(model.AnyLinked(), !c.linked.empty());
        EXPECT_EQ(model.GatewayPresent(), c.gateway);
        EXPECT_EQ(m_values.gatewayPresent, c.gateway);
        EXPECT_EQ(model.GetStatus(), c.status);
        EXPECT_EQ(m_log.begins, 1);
        EXPECT_EQ(m_log.ends, 1);
        EXPECT_EQ(m_log.repaints, c.searchProbes);
        if (c.firstProgressTotal > 0) {
            ASSERT_FALSE(m_log.progress.empty());
            EXPECT_EQ(m_log.progress.front(), std::make_pair(1, c.firstProgressTotal));
        } else {
            EXPECT_TRUE(m_log.progress.empty());
        }
    }
}

TEST_F(AxisLinkModelTest, AnswersAndSilencesChangeTheButtonsBetweenRuns)
{
    CAxisLinkModel &model = Model();
    StartSim({"--axis", "2:MDA", "--axis", "5:MDB"});
    UseSimPort(115200);
    ASSERT_TRUE(model.Link());
    ASSERT_EQ(LinkedAddresses(model), (std::set<int>{2, 5}));

    // Address 2 now lies below the first one that answers; 5 answers with new texts; 7 is new.
    StartSim({"--axis", "5:MDC:2200:NEW NAME", "--axis", "7:MDA"});
    ASSERT_TRUE(model.Link());
    EXPECT_EQ(LinkedAddresses(model), (std::set<int>{5, 7}));
    EXPECT_EQ(model.LinkedCount(), 2);
    EXPECT_EQ(model.ButtonText(5), "5 MDC NEW NAME");
    EXPECT_EQ(model.AxisAt(5).version, "2200");
    EXPECT_EQ(model.ButtonText(2), "2");

    // 5 falls silent, 7 stays: only 7 remains.
    StartSim({"--axis", "7:MDA"});
    ASSERT_TRUE(model.Link());
    EXPECT_EQ(LinkedAddresses(model), (std::set<int>{7}));
    EXPECT_EQ(model.LinkedCount(), 1);
    EXPECT_EQ(model.GetStatus(), CAxisLinkModel::Status::kLinked);

    // Nobody answers: everything returns to unlinked, the stored speed stays as it was.
    const int storedSpeed = StoredValue("Speed");
    StartSimBus(std::make_unique<sim::SimBus>());
    ASSERT_TRUE(model.Link());
    EXPECT_TRUE(LinkedAddresses(model).empty());
    EXPECT_EQ(model.LinkedCount(), 0);
    EXPECT_FALSE(model.AnyLinked());
    EXPECT_EQ(model.GetStatus(), CAxisLinkModel::Status::kUnlinked);
    EXPECT_EQ(model.StatusText(), "Not linked");
    EXPECT_EQ(StoredValue("Speed"), storedSpeed);
}

TEST_F(AxisLinkModelTest, NoPortConfiguredUnlinksWithoutTouchingTheBus)
{
    StartSim({"--axis", "3:MDA"});
    UseSimPort(115200);
    CAxisLinkModel &model = Model();
    ASSERT_TRUE(model.Link());
    ASSERT_EQ(model.LinkedCount(), 1);

    ASSERT_TRUE(m_settings.SetPortAndSpeed(0, 115200));
    const uint64_t answered = m_sim->RequestsAnswered();
    ASSERT_TRUE(model.Link());
    EXPECT_EQ(m_sim->RequestsAnswered(), answered);
    EXPECT_EQ(model.LinkedCount(), 0);
    EXPECT_EQ(model.GetStatus(), CAxisLinkModel::Status::kUnlinked);
    EXPECT_TRUE(m_log.messages.empty());
}

TEST_F(AxisLinkModelTest, RefusedBusyIndicatorLeavesEverythingAsItWas)
{
    StartSim({"--axis", "4:MDA"});
    UseSimPort(115200);
    CAxisLinkModel &model = Model();
    ASSERT_TRUE(model.Link());
    const uint64_t answered = m_sim->RequestsAnswered();
    const uint64_t gated = m_sim->RequestsGated();

    m_log.refuse = true;
    EXPECT_FALSE(model.Link());
    EXPECT_EQ(model.OpenAxis(4), CAxisLinkModel::OpenResult::kRefused);
    // Link asked nothing; the axis button identified the axis and stopped at the indicator.
    EXPECT_EQ(m_sim->RequestsGated(), gated);
    EXPECT_GT(m_sim->RequestsAnswered(), answered);
    EXPECT_EQ(model.GetStatus(), CAxisLinkModel::Status::kLinked);
    EXPECT_EQ(model.LinkedCount(), 1);
    EXPECT_EQ(m_log.ends, 1);
    EXPECT_TRUE(m_log.opened.empty());
    EXPECT_TRUE(m_log.messages.empty());
}

TEST_F(AxisLinkModelTest, OpeningAnAxisSetsTheModelMatchFromTheGatewayList)
{
    StartSim({});   // the demo bus: the gateway lists each axis' own model
    UseSimPort(115200);
    CAxisLinkModel &model = Model();
    ASSERT_TRUE(model.Link());
    CAppValues &state = m_values;

    EXPECT_EQ(model.OpenAxis(2), CAxisLinkModel::OpenResult::kOpened);
    EXPECT_TRUE(state.modelMatch[2]);
    EXPECT_EQ(m_log.opened, std::vector<int>{2});
    EXPECT_EQ(m_log.begins, 2);
    EXPECT_EQ(m_log.ends, 2);

    struct MatchCase {
        uint8_t code;
        bool match;
    };
    const std::string model2 = model.AxisAt(2).model;
    const std::vector<MatchCase> cases = {{0, false}, {255, false}, {1, model2 == "MDA"}, {3, model2 == "MDC"}};
    for (const MatchCase &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.code));
        m_sim->WithBus([&](sim::SimBus &bus) {
            auto list = bus.Gateway()->DeviceList();
            list[2] = c.code;
            bus.Gateway()->SetDeviceList(list);
            return 0;
        });
        state.modelMatch[2] = !c.match;
        EXPECT_EQ(model.OpenAxis(2), CAxisLinkModel::OpenResult::kOpened);
        EXPECT_EQ(state.modelMatch[2], c.match);
    }
    EXPECT_TRUE(m_log.messages.empty());
}

TEST_F(AxisLinkModelTest, WithoutTheGatewayTheModelMatchIsCleared)
{
    StartSim({"--axis", "3:MDB"});
    UseSimPort(115200);
    CAxisLinkModel &model = Model();
    ASSERT_TRUE(model.Link());
    m_values.modelMatch[3] = true;
    EXPECT_EQ(model.OpenAxis(3), CAxisLinkModel::OpenResult::kOpened);
    EXPECT_FALSE(m_values.modelMatch[3]);
    EXPECT_EQ(m_log.opened, std::vector<int>{3});
}

TEST_F(AxisLinkModelTest, AnAxisThatStoppedAnsweringIsReportedAndUnlinked)
{
    StartSim({"--axis", "2:MDA", "--axis", "5:MDB"});
    UseSimPort(115200);
    CAxisLinkModel &model = Model();
    ASSERT_TRUE(model.Link());
    StopSim();

    EXPECT_EQ(model.OpenAxis(5), CAxisLinkModel::OpenResult::kFailed);
    ASSERT_EQ(m_log.messages.size(), 1u);
    EXPECT_EQ(m_log.messages[0].first, "Warning");
    EXPECT_EQ(m_log.messages[0].second, "Cannot connect. Please use offline editing.");
    EXPECT_EQ(LinkedAddresses(model), std::set<int>{2});
    EXPECT_EQ(model.ButtonText(5), "5");
    EXPECT_EQ(model.GetStatus(), CAxisLinkModel::Status::kLinked);

    EXPECT_EQ(model.OpenAxis(2), CAxisLinkModel::OpenResult::kFailed);
    EXPECT_EQ(model.LinkedCount(), 0);
    EXPECT_FALSE(model.AnyLinked());
    EXPECT_EQ(model.GetStatus(), CAxisLinkModel::Status::kUnlinked);
    EXPECT_TRUE(m_log.opened.empty());
    EXPECT_EQ(m_log.begins, 1);
}

TEST_F(AxisLinkModelTest, FailureMessageFallsBackToBuiltInTexts)
{
    CLanguageTexts none;
    CAxisLinkModel::Hooks hooks;
    std::pair<std::string, std::string> shown;
    hooks.message = [&](const std::string &title, const std::string &text) { shown = {title, text}; };
    CAxisLinkModel model(*m_commands, none, m_values, CBusPortAccess::FromSettings(m_settings, m_comm.Ports()), hooks);
    EXPECT_EQ(model.OpenAxis(0), CAxisLinkModel::OpenResult::kFailed);
    EXPECT_EQ(shown.first, "Warn");
    EXPECT_EQ(shown.second, "Connect Errer.Please use offline edit!");
    EXPECT_EQ(model.StatusText(), "Unlinked");
}

TEST_F(AxisLinkModelTest, PortOpensAtStartOnlyWithAPortNumber)
{
    StartSim({"--axis", "1:MDA"});
    CAxisLinkModel &model = Model();
    ASSERT_TRUE(m_settings.SetPortAndSpeed(0, 115200));
    EXPECT_FALSE(model.OpenPortAtStart());
    EXPECT_EQ(m_commands->IsPortOpen(), 0);
    // No speed stored: the port still opens (at the default speed).
    ASSERT_TRUE(m_settings.SetPortAndSpeed(kSimPort, 0));
    EXPECT_TRUE(model.OpenPortAtStart());
    EXPECT_EQ(m_commands->IsPortOpen(), 1);
}

TEST(AxisLinkTexts, ButtonTexts)
{
    struct Case {
        int address;
        const char *model;
        const char *name;
        const char *live;
        const char *unlinked;
    };
    const Case cases[] = {
        {0, "MDA", "DEMO MDA", "0 MDA DEMO MDA", "0"},
        {10, "MDC-X", "", "A MDC-X ", "A"},
        {15, "MDA-Z", "LIFTER", "F MDA-Z LIFTER", "F"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CAxisLinkModel::LiveText(c.address, c.model, c.name), c.live);
        EXPECT_EQ(CAxisLinkModel::UnlinkedText(c.address), c.unlinked);
    }
}

TEST(AxisLinkTexts, StationCodesAndTheirBuiltInTexts)
{
    struct Case {
        uint8_t code;
        const char *key;
        const char *builtIn;
    };
    const Case cases[] = {
        {0, "ID_COMBO_NULL", "None"},   {1, "ID_COMBO_MDA", "MDA"},     {2, "ID_COMBO_MDB", "MDB"},
        {3, "ID_COMBO_MDC", "MDC"},     {4, "ID_COMBO_NULL", "None"},   {5, "ID_COMBO_NULL", "None"},
        {6, "ID_COMBO_XMDC", "MDC-X"},  {7, "ID_COMBO_YMDA", "MDA-Y"},  {8, "ID_COMBO_ZMDA", "MDA-Z"},
        {9, "ID_COMBO_NULL", "None"},   {254, "ID_COMBO_NULL", "None"}, {255, "ID_COMBO_ANY", "Any"},
    };
    CLanguageTexts none;
    for (const Case &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.code));
        EXPECT_STREQ(CAxisLinkModel::StationKey(c.code), c.key);
        EXPECT_EQ(CAxisLinkModel::StationText(none, c.code), c.builtIn);
    }
}

} // namespace kvl::test
