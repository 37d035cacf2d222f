// The engine module as the host sees it: gauges in Linkage order with their
// size fields, standard routines working on the first gauge's tree, and
// gauge callbacks that act on service message 6 only.
#include "host/module.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "host/gauge.h"
#include "host/host.h"
#include "tests/support/support.h"

namespace {

std::string engine_module_path()
{
    return (std::filesystem::path(ORVANE_GAUGES_DIR) / gaugehost::module_file_name("Orvane_engine")).string();
}

TEST(EngineModule, ListShowsTheEightGaugesInLinkageOrder)
{
    auto result = orvane_test::run_gaugehost({"list", "--gauges", ORVANE_GAUGES_DIR});
    ASSERT_EQ(result.exit_code, 0) << result.output;
    std::istringstream lines(result.output);
    std::string line;
    while (std::getline(lines, line) && line.rfind("Orvane_engine", 0) != 0) {
    }
    EXPECT_EQ(line, "Orvane_engine (8 gauges)");
    const std::pair<const char*, int> expected[] = {
        {"Manifold", 283},          {"RPM", 282},           {"Engine_gauge", 283},        {"Fuel", 283},
        {"Throttle_quadrant", 344}, {"Fuel_selector", 264}, {"Coolant_temperature", 283}, {"OAT", 283}};
    int n = 0;
    for (auto [name, size] : expected) {
        ASSERT_TRUE(std::getline(lines, line));
        std::istringstream fields(line);
        int index = 0, listed_size = 0;
        std::string listed_name, word;
        fields >> index >> listed_name >> word >> listed_size;
        EXPECT_EQ(index, ++n);
        EXPECT_EQ(listed_name, name);
        EXPECT_EQ(word, "size");
        EXPECT_EQ(listed_size, size) << name;
    }
}

TEST(EngineModule, StandardRoutinesOfEveryHeaderWorkOnTheManifoldTree)
{
    gaugehost::TokenStore tokens;
    gaugehost::Host host(tokens);
    gaugehost::Module& module = host.load_module(engine_module_path());
    ASSERT_EQ(module.gauges().size(), 8u);
    ElementHeader* manifold_root = *module.gauges().front()->element_list;
    gaugehost::Host::Scope scope(host);
    for (GaugeHeader* g : module.gauges()) {
        EXPECT_EQ(g->version, 700u);
        host.clear_records();
        g->update();
        g->install(77);
        ASSERT_EQ(host.element_list_calls().size(), 2u) << g->name;
        EXPECT_EQ(host.element_list_calls()[0].entry, 27);
        EXPECT_EQ(host.element_list_calls()[0].root, manifold_root) << g->name;
        EXPECT_EQ(host.element_list_calls()[1].entry, 25);
        EXPECT_EQ(host.element_list_calls()[1].value, 77u);
        // Every element points back to its own gauge.
        for (ElementHeader* e = *g->element_list; e; e = e->next ? e->next[0] : nullptr)
            EXPECT_EQ(e->gauge, g) << g->name;
    }
}

TEST(EngineModule, FuelCallbacksIgnoreMessagesOtherThanSix)
{
    gaugehost::TokenStore tokens;
    tokens.set(292, 60);
    tokens.set(298, 60);
    tokens.set(291, 8388608 / 2);
    gaugehost::Host host(tokens);
    gaugehost::Module& module = host.load_module(engine_module_path());
    gaugehost::Gauge fuel(host, module, module.find_gauge("Fuel"));
    {
        gaugehost::Host::Scope scope(host);
        for (const char* name : {"Fuel", "Fuel_selector"}) {
            GaugeHeader* g = module.find_gauge(name);
            for (int32_t message : {0, 1, 5, 7, 8, -6}) g->callback(g, message, 6);
        }
    }
    // Capacities still 0: the tooltip returns 0.5.
    EXPECT_EQ(fuel.tooltip_at(50, 100), "Fuel Left Tank Level Indicator (0 gallons)");
    fuel.update();
    EXPECT_EQ(fuel.tooltip_at(50, 100), "Fuel Left Tank Level Indicator (30 gallons)");
}

}  // namespace
