// "Starter" through the host: the pedal picture from token 401 and the
// engage key event on the press and on every repeat while held.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/support.h"

using orvane_test::element;
using orvane_test::probe;

namespace {

std::vector<std::string> events_of(const nlohmann::json& report)
{
    std::vector<std::string> list;
    for (const auto& e : report["events"])
        list.push_back(e["id"].get<std::string>() + " " + e["value"].dump());
    return list;
}

TEST(Starter, PedalFollowsTheStarter)
{
    struct {
        const char* starter;
        int picture;
    } cases[] = {{"0", 0}, {"1", 1}, {"0.5", 0}, {"nan", 0}, {"7", 1}, {"-3", 0}, {"1e300", 1}};
    for (auto& c : cases) {
        auto r = probe("Orvane_electric", "Starter", {"--token", std::string("401=") + c.starter});
        EXPECT_EQ(element(r, 2)["picture"], c.picture) << c.starter;
        EXPECT_EQ(element(r, 2)["bitmap"], 3900 + c.picture) << c.starter;
        EXPECT_EQ(element(r, 1)["bitmap"], 3800);
    }
}

TEST(Starter, EachCallEngagesWhateverThePedalShows)
{
    for (const char* starter : {"0", "1"}) {
        auto r = probe("Orvane_electric", "Starter",
                       {"--token", std::string("401=") + starter, "--click", "41,20", "--click", "184,303"});
        EXPECT_EQ(events_of(r), (std::vector<std::string>{"0x1018C 1", "0x1018C 1"})) << starter;
    }
}

TEST(Starter, HoldingThePedalKeepsEngaging)
{
    struct {
        const char* hold;
        size_t count;
    } cases[] = {{"100,100,350", 4}, {"100,100,0", 1},   {"100,100,1000", 11}, {"40,100,350", 0},
                 {"185,100,350", 0}, {"100,304,350", 0}, {"100,19,350", 0}};
    for (auto& c : cases) {
        auto r = probe("Orvane_electric", "Starter", {"--hold", c.hold, "--updates", "5"});
        EXPECT_EQ(events_of(r), std::vector<std::string>(c.count, "0x1018C 1")) << c.hold;
    }
}

TEST(Starter, TooltipTextWithoutInsertOverTheWholePedalFloor)
{
    auto r =
        probe("Orvane_electric", "Starter", {"--hover", "0,0", "--hover", "266,328", "--hover", "100,100"});
    for (const auto& t : r["tooltips"]) EXPECT_EQ(t["text"], "Starter Pedal") << t["x"];
}

TEST(Starter, UpdatesSendNothing)
{
    auto r = probe("Orvane_electric", "Starter", {"--token", "401=1", "--updates", "30"});
    EXPECT_TRUE(r["events"].empty());
    EXPECT_TRUE(r["windows"].empty());
}

}  // namespace
