// The electric module as the host loads it: its gauge list, the callbacks
// its gauges share, the order of the gauge callbacks' look-ups, and the
// callbacks' answers before the first service message 6 (which no host
// update can show, since every update sends message 6 first).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/gauge.h"
#include "host/host.h"
#include "tests/support/support.h"

namespace {

using gaugehost::Gauge;
using gaugehost::Host;
using gaugehost::Module;

// A token store that also records the order of the look-ups.
class RecordingStore : public gaugehost::TokenStore {
public:
    void lookup(TokenVar& var) override
    {
        looked_up.push_back(var.token);
        TokenStore::lookup(var);
    }
    std::vector<uint32_t> looked_up;
};

// The module loaded fresh (its variables at their initial values) into a
// host of its own; unloaded again when the fixture goes.
class ElectricModule : public ::testing::Test {
protected:
    ElectricModule()
        : host(tokens),
          module(host.load_module(std::string(ORVANE_GAUGES_DIR) + "/" +
                                  gaugehost::module_file_name("Orvane_electric")))
    {
    }

    GaugeHeader* gauge(const char* name)
    {
        GaugeHeader* g = module.find_gauge(name);
        if (!g) ADD_FAILURE() << "no gauge " << name;
        return g;
    }
    // Element of a gauge by drawing order (from 1): root, then its chain.
    ElementHeader* element(const char* gauge_name, int index)
    {
        ElementHeader* e = *gauge(gauge_name)->element_list;
        for (int i = 1; i < index; ++i) e = e->next[0];
        return e;
    }
    Icon* icon(const char* gauge_name, int index)
    {
        return reinterpret_cast<Icon*>(element(gauge_name, index));
    }
    const MouseArea& area(const char* gauge_name, int record)
    {
        return gauge(gauge_name)->mouse_list[record - 1];
    }

    // Calls into module code the way the host does, inside its scope.
    double icon_value(const char* gauge_name, int index)
    {
        Host::Scope scope(host);
        Icon* i = icon(gauge_name, index);
        return i->callback(i);
    }
    std::string tooltip_text(const char* gauge_name, int record, int arg = 0)
    {
        Host::Scope scope(host);
        TooltipArg& a = area(gauge_name, record).args[arg];
        return a.text(0, 0, 0, 0, &a.source, 0);
    }
    double tooltip_number(const char* gauge_name, int record, int arg, double value)
    {
        Host::Scope scope(host);
        TooltipArg& a = area(gauge_name, record).args[arg];
        a.source.value = value;
        return a.number(0, 0, 0, 0, &a.source, 0);
    }
    int32_t click(const char* gauge_name, int record)
    {
        Host::Scope scope(host);
        Point at{0, 0};
        return area(gauge_name, record).routine.callback(&at, MOUSE_LEFT_CLICK);
    }
    void message(const char* gauge_name, int32_t number)
    {
        Host::Scope scope(host);
        GaugeHeader* g = gauge(gauge_name);
        g->callback(g, number, 0);
    }

    RecordingStore tokens;
    Host host;
    Module& module;
};

TEST(ElectricList, SixGaugesInLinkageOrderWithTheirSizes)
{
    auto r = orvane_test::run_gaugehost({"list", "--gauges", ORVANE_GAUGES_DIR});
    ASSERT_EQ(r.exit_code, 0) << r.output;
    size_t at = r.output.find("Orvane_electric (6 gauges)\n");
    ASSERT_NE(at, std::string::npos) << r.output;
    const char* expected[][2] = {{"Ignition", "351"}, {"Gear_warning_light", "62"}, {"Flaps_gear_sw", "190"},
                                 {"Ammeter", "210"},  {"Switch_box", "206"},        {"Starter", "267"}};
    int index = 1;
    for (auto& g : expected) {
        char line[128];
        std::snprintf(line, sizeof line, "  %2d  %-24s size %s\n", index++, g[0], g[1]);
        size_t next = r.output.find(line, at);
        EXPECT_NE(next, std::string::npos) << "missing or out of order: " << line;
        if (next != std::string::npos) at = next;
    }
}

TEST_F(ElectricModule, SharedCallbacksAreOneRoutineEach)
{
    // One switch picture routine for the four switches and the pedal.
    auto picture = icon("Switch_box", 2)->callback;
    ASSERT_NE(picture, nullptr);
    for (int i = 3; i <= 5; ++i) EXPECT_EQ(icon("Switch_box", i)->callback, picture) << i;
    EXPECT_EQ(icon("Starter", 2)->callback, picture);
    // One empty text routine for the lamp's and the pedal's tooltips.
    EXPECT_EQ(area("Gear_warning_light", 3).args[0].text, area("Starter", 3).args[0].text);
    // One routine for each pair of toggle halves.
    EXPECT_EQ(area("Switch_box", 18).routine.callback, area("Switch_box", 19).routine.callback);
    EXPECT_EQ(area("Switch_box", 20).routine.callback, area("Switch_box", 21).routine.callback);
    EXPECT_NE(area("Switch_box", 14).routine.callback, area("Switch_box", 15).routine.callback);
    // Gauge callbacks: three that act, none on the ammeter, one shared that does nothing.
    EXPECT_NE(gauge("Ignition")->callback, nullptr);
    EXPECT_NE(gauge("Gear_warning_light")->callback, nullptr);
    EXPECT_NE(gauge("Flaps_gear_sw")->callback, nullptr);
    EXPECT_EQ(gauge("Ammeter")->callback, nullptr);
    EXPECT_NE(gauge("Switch_box")->callback, nullptr);
    EXPECT_EQ(gauge("Switch_box")->callback, gauge("Starter")->callback);
}

TEST_F(ElectricModule, RepeatFlagOnlyOnTheBatteryHalvesAndThePedal)
{
    for (int record = 14; record <= 21; ++record) {
        uint32_t expected = record >= 20 ? MOUSE_CLICK_REPEAT : MOUSE_LEFT_CLICK;
        EXPECT_EQ(area("Switch_box", record).flags, expected) << record;
    }
    EXPECT_EQ(area("Starter", 5).flags, 0x20200000u);
    EXPECT_EQ(area("Starter", 5).cursor, CURSOR_HAND);
}

TEST_F(ElectricModule, GaugeCallbacksLookUpTheirTokensInOrder)
{
    struct {
        const char* gauge;
        std::vector<uint32_t> order;
    } cases[] = {
        {"Ignition", {134, 133}},
        {"Gear_warning_light", {333, 334, 332, 558}},
        {"Flaps_gear_sw", {331, 329}},
        {"Switch_box", {}},
        {"Starter", {}},
    };
    for (auto& c : cases) {
        tokens.looked_up.clear();
        message(c.gauge, SERVICE_PRE_UPDATE);
        EXPECT_EQ(tokens.looked_up, c.order) << c.gauge;
        // Any other message: nothing at all.
        tokens.looked_up.clear();
        for (int32_t other : {0, 1, 5, 7, 13, -6}) message(c.gauge, other);
        EXPECT_TRUE(tokens.looked_up.empty()) << c.gauge;
    }
    EXPECT_TRUE(host.key_events().empty());
}

TEST_F(ElectricModule, BeforeTheFirstMessageSixTheVariablesHoldTheirInitialValues)
{
    // The host's values say "both magnetos, gear down, lever down, throttle
    // open, flaps moving", but no message 6 has read them yet.
    tokens.set(133, 1);
    tokens.set(134, 1);
    for (uint32_t leg : {332u, 333u, 334u}) tokens.set(leg, 16384);
    tokens.set(558, 1);
    tokens.set(331, 1);
    tokens.set(329, 5000);

    EXPECT_EQ(icon_value("Ignition", 2), 0.0);
    EXPECT_EQ(tooltip_text("Ignition", 3), "Off");
    EXPECT_EQ(icon_value("Gear_warning_light", 2), 1.0);  // lit
    EXPECT_EQ(icon_value("Flaps_gear_sw", 2), 0.0);       // gear lever up
    EXPECT_EQ(icon_value("Flaps_gear_sw", 3), 2.0);       // flap lever at OFF

    // Other messages than 6 read nothing either.
    for (const char* g : {"Ignition", "Gear_warning_light", "Flaps_gear_sw"}) message(g, 7);
    EXPECT_EQ(icon_value("Ignition", 2), 0.0);
    EXPECT_EQ(icon_value("Gear_warning_light", 2), 1.0);
    EXPECT_EQ(icon_value("Flaps_gear_sw", 2), 0.0);

    for (const char* g : {"Ignition", "Gear_warning_light", "Flaps_gear_sw"}) message(g, SERVICE_PRE_UPDATE);
    EXPECT_EQ(icon_value("Ignition", 2), 3.0);
    EXPECT_EQ(tooltip_text("Ignition", 3), "Both");
    EXPECT_EQ(icon_value("Gear_warning_light", 2), 0.0);
    EXPECT_EQ(icon_value("Flaps_gear_sw", 2), 1.0);
    EXPECT_EQ(icon_value("Flaps_gear_sw", 3), 0.0);  // 0 -> 5000: moving down
}

TEST_F(ElectricModule, FlapLeverAdvancesWithItsOwnCallbackNotWithTheMessage)
{
    tokens.set(329, 100);
    message("Flaps_gear_sw", SERVICE_PRE_UPDATE);
    EXPECT_EQ(icon_value("Flaps_gear_sw", 3), 0.0);  // down
    EXPECT_EQ(icon_value("Flaps_gear_sw", 3), 2.0);  // no new message: OFF
    // Two messages without a lever call in between: one movement seen.
    tokens.set(329, 200);
    message("Flaps_gear_sw", SERVICE_PRE_UPDATE);
    tokens.set(329, 50);
    message("Flaps_gear_sw", SERVICE_PRE_UPDATE);
    EXPECT_EQ(icon_value("Flaps_gear_sw", 3), 1.0);  // 100 -> 50: up
}

TEST_F(ElectricModule, PercentDownAddsAHalf)
{
    // Records 3 (flaps, two arguments) and 6 (gear, three arguments).
    struct {
        double token, percent;
    } cases[] = {{16384, 100.5}, {8192, 50.5}, {0, 0.5}, {-16384, -99.5}, {4096, 25.5}};
    for (auto& c : cases) {
        for (int arg = 0; arg < 2; ++arg)
            EXPECT_EQ(tooltip_number("Flaps_gear_sw", 3, arg, c.token), c.percent);
        for (int arg = 0; arg < 3; ++arg)
            EXPECT_EQ(tooltip_number("Flaps_gear_sw", 6, arg, c.token), c.percent);
    }
}

TEST_F(ElectricModule, EveryMouseCallbackReturnsOneAlsoWhenItSendsNothing)
{
    tokens.set(133, 1);
    tokens.set(134, 1);
    message("Ignition", SERVICE_PRE_UPDATE);  // position Both: area 6 stays silent
    struct {
        const char* gauge;
        std::vector<int> records;
    } cases[] = {{"Ignition", {5, 6, 7, 8, 9, 10}},
                 {"Flaps_gear_sw", {8, 9, 10, 11}},
                 {"Switch_box", {14, 15, 16, 17, 18, 19, 20, 21}},
                 {"Starter", {5}}};
    size_t calls = 0;
    for (auto& c : cases) {
        for (int record : c.records) {
            ASSERT_EQ(area(c.gauge, record).kind, MOUSE_CLICK) << c.gauge << " " << record;
            EXPECT_EQ(click(c.gauge, record), 1) << c.gauge << " " << record;
            ++calls;
        }
    }
    // One key event per call, except the silent step up at Both.
    EXPECT_EQ(host.key_events().size(), calls - 1);
}

TEST(ElectricWindows, DeliverableExportsTwoSymbolsAndImportsOnlySystemLibraries)
{
    std::string gau = std::string(ORVANE_WIN32_GAUGES_DIR) + "/Orvane_electric.gau";
    if (!std::filesystem::exists(gau)) GTEST_SKIP() << "no Windows build at " << gau;
    auto r = orvane_test::run_command("i686-w64-mingw32-objdump -p '" + gau + "'");
    if (r.exit_code != 0) GTEST_SKIP() << "no objdump for the Windows build";
    std::vector<std::string> dlls;
    for (size_t at = r.output.find("DLL Name: "); at != std::string::npos;
         at = r.output.find("DLL Name: ", at + 1)) {
        size_t start = at + 10;
        dlls.push_back(r.output.substr(start, r.output.find('\n', start) - start));
    }
    // Only system libraries, if any: the module needs no C run-time start-up.
    for (const auto& dll : dlls) EXPECT_TRUE(dll == "KERNEL32.dll" || dll == "msvcrt.dll") << dll;
    // The exported names: the lines "\t[   i] NAME" of the name table.
    std::vector<std::string> exports;
    size_t at = r.output.find("[Ordinal/Name Pointer] Table\n");
    ASSERT_NE(at, std::string::npos) << r.output;
    for (at = r.output.find('\n', at) + 1; at < r.output.size() && r.output[at] == '\t';) {
        size_t end = r.output.find('\n', at);
        size_t name = r.output.find("] ", at) + 2;
        exports.push_back(r.output.substr(name, end - name));
        at = end + 1;
    }
    EXPECT_EQ(exports, (std::vector<std::string>{"ImportTable", "Linkage"}));
}

}  // namespace
