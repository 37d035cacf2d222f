// The aircraft model on its own: key events into tokens, the engine start,
// flaps and gear timing, lever clamps, hand-set tokens, determinism.
#include "host/model/aircraft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using namespace gaugehost;

namespace {

double looked_up(Aircraft& a, uint32_t t)
{
    TokenVar var{};
    var.token = t;
    a.lookup(var);
    return var.value;
}

uint32_t low_half(Aircraft& a, uint32_t t)
{
    TokenVar var{};
    var.token = t;
    a.lookup(var);
    uint32_t low;
    std::memcpy(&low, &var.value, sizeof low);
    return low;
}

uint32_t high_half(Aircraft& a, uint32_t t)
{
    TokenVar var{};
    var.token = t;
    a.lookup(var);
    uint32_t high;
    std::memcpy(&high, reinterpret_cast<const char*>(&var.value) + 4, sizeof high);
    return high;
}

// The engine started by the pilot's controls: battery, both magnetos, left
// tank, mixture rich, starter.
void start_engine(Aircraft& a)
{
    a.key_event(key::battery_toggle, 0);
    a.key_event(key::magnetos_both, 0);
    a.key_event(key::fuel_selector_set, selector_left);
    a.key_event(key::mixture_set, 16383);
    a.key_event(key::starter_engage, 1);
    a.advance(3);
}

struct KeyCase {
    const char* name;
    std::vector<std::pair<uint32_t, uint32_t>> events;  // id, value in order
    uint32_t token;
    double expected;
};

class KeyEvents : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyEvents, ReachTheirToken)
{
    const KeyCase& c = GetParam();
    Aircraft a;
    for (auto [id, value] : c.events) a.key_event(id, value);
    EXPECT_DOUBLE_EQ(looked_up(a, c.token), c.expected) << c.name;
}

const uint32_t kMinus1 = 0xFFFFFFFFu;

INSTANTIATE_TEST_SUITE_P(
    Table, KeyEvents,
    ::testing::Values(
        KeyCase{"both magnetos: right on", {{key::magnetos_both, 0}}, token::right_magneto, 1.0},
        KeyCase{"both magnetos: left on", {{key::magnetos_both, 0}}, token::left_magneto, 1.0},
        KeyCase{"left only", {{key::magnetos_both, 0}, {key::magnetos_left, 0}}, token::right_magneto, 0.0},
        KeyCase{"right only", {{key::magnetos_right, 0}}, token::right_magneto, 1.0},
        KeyCase{"off", {{key::magnetos_both, 0}, {key::magnetos_off, 0}}, token::left_magneto, 0.0},
        // The switch steps along its dial: Off, L, R, Both.
        KeyCase{"step up once: L", {{key::magnetos_up, 0}}, token::left_magneto, 1.0},
        KeyCase{"step up twice: R", {{key::magnetos_up, 0}, {key::magnetos_up, 0}}, token::left_magneto, 0.0},
        KeyCase{"step up thrice: both",
                {{key::magnetos_up, 0}, {key::magnetos_up, 0}, {key::magnetos_up, 0}},
                token::left_magneto,
                1.0},
        KeyCase{"step up past both stays both",
                {{key::magnetos_both, 0}, {key::magnetos_up, 0}},
                token::right_magneto,
                1.0},
        KeyCase{"step down from both: R",
                {{key::magnetos_both, 0}, {key::magnetos_down, 0}},
                token::left_magneto,
                0.0},
        KeyCase{"step down at off stays off", {{key::magnetos_down, 0}}, token::right_magneto, 0.0},
        KeyCase{"throttle top", {{key::throttle_set, 16383}}, token::throttle, 1.0},
        KeyCase{"throttle half", {{key::throttle_set, 8191}}, token::throttle, 8191.0 / 16383},
        KeyCase{"throttle below the travel", {{key::throttle_set, uint32_t(-2397)}}, token::throttle, 0.0},
        KeyCase{"throttle -1", {{key::throttle_set, kMinus1}}, token::throttle, 0.0},
        KeyCase{"throttle most negative", {{key::throttle_set, 0x80000000u}}, token::throttle, 0.0},
        KeyCase{"throttle above the travel", {{key::throttle_set, 20000}}, token::throttle, 1.0},
        KeyCase{"throttle huge", {{key::throttle_set, 0x7FFFFFFFu}}, token::throttle, 1.0},
        KeyCase{"mixture", {{key::mixture_set, 4096}}, token::mixture, 4096.0 / 16383},
        KeyCase{"mixture negative", {{key::mixture_set, uint32_t(-4298)}}, token::mixture, 0.0},
        KeyCase{"propeller", {{key::propeller_set, 8219}}, token::propeller, 8219.0 / 16383},
        KeyCase{"propeller huge", {{key::propeller_set, 99999}}, token::propeller, 1.0},
        KeyCase{"boost pump on", {{key::boost_pump_set, 1}}, token::boost_pump, 1.0},
        KeyCase{"boost pump on then off",
                {{key::boost_pump_set, 1}, {key::boost_pump_set, 0}},
                token::boost_pump,
                0.0},
        KeyCase{"pitot heat on", {{key::pitot_heat_set, 1}}, token::pitot_heat, 1.0},
        KeyCase{"pitot heat on twice stays on",
                {{key::pitot_heat_set, 1}, {key::pitot_heat_set, 1}},
                token::pitot_heat,
                1.0},
        KeyCase{"battery toggles on", {{key::battery_toggle, 0}}, token::battery, 1.0},
        KeyCase{"battery toggles back off",
                {{key::battery_toggle, 0}, {key::battery_toggle, 0}},
                token::battery,
                0.0},
        KeyCase{"generator toggles on", {{key::generator_toggle, 0}}, token::generator, 1.0},
        KeyCase{"gear lever up", {{key::gear_up, 0}}, token::gear_lever, 0.0},
        KeyCase{"gear lever down again", {{key::gear_up, 0}, {key::gear_down, 0}}, token::gear_lever, 1.0},
        KeyCase{
            "altimeter right half: +0.01", {{key::altimeter_knob_right, 0}}, token::altimeter_setting, 29.93},
        KeyCase{"altimeter left half twice: -0.02",
                {{key::altimeter_knob_left, 0}, {key::altimeter_knob_left, 0}},
                token::altimeter_setting,
                29.90},
        KeyCase{"heading knob right: +1", {{key::gyro_knob_right, 0}}, token::gyro_heading, 301.0},
        KeyCase{"heading knob left: -1", {{key::gyro_knob_left, 0}}, token::gyro_heading, 299.0},
        KeyCase{"starter without battery: nothing", {{key::starter_engage, 1}}, token::starter, 0.0},
        KeyCase{"starter with battery engages",
                {{key::battery_toggle, 0}, {key::starter_engage, 1}},
                token::starter,
                1.0}),
    [](const auto& info) {
        std::string n;
        for (const char* p = info.param.name; *p; ++p)
            n += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return n;
    });

TEST(Aircraft, FuelSelectorIsAnInt32InTheLowHalf)
{
    struct {
        uint32_t value;
        uint32_t low;
    } cases[] = {{0, 0}, {2, 2}, {3, 3}, {9, 9}, {kMinus1, kMinus1}};
    for (auto c : cases) {
        Aircraft a;
        a.key_event(key::fuel_selector_set, c.value);
        EXPECT_EQ(low_half(a, token::fuel_selector), c.low) << c.value;
        EXPECT_EQ(high_half(a, token::fuel_selector), 0u) << c.value;
    }
    Aircraft a;
    a.set_int32(token::fuel_selector, -1);
    EXPECT_EQ(low_half(a, token::fuel_selector), 0xFFFFFFFFu);
    EXPECT_EQ(high_half(a, token::fuel_selector), 0u);
    EXPECT_EQ(a.value(token::fuel_selector), -1.0);
}

TEST(Aircraft, MagnetosAreExactlyOneOrZero)
{
    Aircraft a;
    a.key_event(key::magnetos_right, 0);
    // The ignition switch recognises the double 1.0 bit for bit.
    double one = 1.0;
    TokenVar var{};
    var.token = token::right_magneto;
    a.lookup(var);
    EXPECT_EQ(std::memcmp(&var.value, &one, sizeof one), 0);
}

struct StartCase {
    const char* name;
    bool battery, ignition, fuel, mixture, hold_starter;
    bool starts;
};

class EngineStart : public ::testing::TestWithParam<StartCase> {};

TEST_P(EngineStart, NeedsIgnitionFuelMixtureAndTheStarter)
{
    const StartCase& c = GetParam();
    Aircraft a;
    if (c.battery) a.key_event(key::battery_toggle, 0);
    if (c.ignition) a.key_event(key::magnetos_left, 0);
    a.key_event(key::fuel_selector_set, c.fuel ? selector_right : selector_off);
    if (c.mixture) a.key_event(key::mixture_set, 16383);
    a.key_event(key::starter_engage, 1);
    if (c.hold_starter) {
        // The starter pedal repeats every 0.1 s while held.
        for (int i = 0; i < 20; ++i) {
            a.advance(0.1);
            a.key_event(key::starter_engage, 1);
        }
    }
    a.advance(10);
    EXPECT_EQ(a.engine_running(), c.starts) << c.name;
    EXPECT_EQ(looked_up(a, token::starter), 0.0) << c.name << ": the starter lets go by itself";
    if (c.starts) {
        EXPECT_GT(looked_up(a, token::rpm), Aircraft::kIdleRpm - 100);
        EXPECT_GT(looked_up(a, token::oil_pressure), 0.0);
        EXPECT_GT(looked_up(a, token::fuel_pressure), 0.0);
    } else {
        EXPECT_LT(looked_up(a, token::rpm), 1.0) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, EngineStart,
                         ::testing::Values(StartCase{"everything", true, true, true, true, false, true},
                                           StartCase{"held pedal", true, true, true, true, true, true},
                                           StartCase{"no battery", false, true, true, true, true, false},
                                           StartCase{"magnetos off", true, false, true, true, true, false},
                                           StartCase{"selector off", true, true, false, true, true, false},
                                           StartCase{"idle cut-off", true, true, true, false, true, false}),
                         [](const auto& info) {
                             std::string n;
                             for (const char* p = info.param.name; *p; ++p)
                                 n += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return n;
                         });

TEST(Aircraft, EmptyTankDoesNotStartAndStopsARunningEngine)
{
    Aircraft a;
    a.refuel(Tank::left, 0);
    a.advance(20);  // the ground crew drains the left tank
    ASSERT_EQ(a.gallons(Tank::left), 0.0);
    start_engine(a);
    EXPECT_FALSE(a.engine_running());

    Aircraft b;
    start_engine(b);
    ASSERT_TRUE(b.engine_running());
    b.key_event(key::fuel_selector_set, selector_off);
    b.advance(0.1);
    EXPECT_FALSE(b.engine_running());
    b.advance(10);
    EXPECT_LT(looked_up(b, token::rpm), 1.0);
}

TEST(Aircraft, StarterCranksThenLetsGoAfterAFewSecondsWithoutIgnition)
{
    Aircraft a;
    a.key_event(key::battery_toggle, 0);
    a.key_event(key::starter_engage, 1);
    a.advance(1.0);
    EXPECT_EQ(looked_up(a, token::starter), 1.0);
    EXPECT_NEAR(looked_up(a, token::rpm), Aircraft::kCrankRpm, 30);
    EXPECT_LT(looked_up(a, token::ammeter), -30.0) << "the starter draws from the battery";
    a.advance(Aircraft::kStarterHoldSeconds);
    EXPECT_EQ(looked_up(a, token::starter), 0.0);
}

TEST(Aircraft, ThrottleAndPropellerSetRpmAndManifold)
{
    Aircraft a;
    start_engine(a);
    a.key_event(key::throttle_set, 0);
    a.advance(5);
    double idle_rpm = looked_up(a, token::rpm), idle_map = looked_up(a, token::manifold) * 64 / 65536;
    EXPECT_NEAR(idle_rpm, Aircraft::kIdleRpm, 20);
    a.key_event(key::throttle_set, 16383);
    a.advance(5);
    double full_rpm = looked_up(a, token::rpm), full_map = looked_up(a, token::manifold) * 64 / 65536;
    EXPECT_GT(full_rpm, 2800);
    EXPECT_GT(full_map, idle_map + 30);
    a.key_event(key::propeller_set, 0);  // the governor holds lower revolutions
    a.advance(5);
    EXPECT_LT(looked_up(a, token::rpm), 1900);
    // One magneto costs a few revolutions.
    a.key_event(key::magnetos_left, 0);
    double both = looked_up(a, token::rpm);
    a.advance(5);
    EXPECT_LT(looked_up(a, token::rpm), both - 40);
}

TEST(Aircraft, FlapsMoveSteadilyToTheCommandedEnd)
{
    Aircraft a;
    a.key_event(key::flaps_down, 0);
    const double rate = Aircraft::kExtended / Aircraft::kFlapTravelSeconds;
    a.advance(1.0);
    EXPECT_NEAR(looked_up(a, token::left_flap), rate, 1e-6);
    EXPECT_EQ(looked_up(a, token::right_flap), looked_up(a, token::left_flap));
    a.advance(Aircraft::kFlapTravelSeconds);
    EXPECT_EQ(looked_up(a, token::left_flap), Aircraft::kExtended);
    a.key_event(key::flaps_up, 0);
    a.advance(2.0);
    EXPECT_NEAR(looked_up(a, token::left_flap), Aircraft::kExtended - 2 * rate, 1e-6);
    a.key_event(key::flaps_down, 0);  // reversed halfway
    a.advance(1.0);
    EXPECT_NEAR(looked_up(a, token::left_flap), Aircraft::kExtended - rate, 1e-6);
}

TEST(Aircraft, GearLegsRetractOneByOneAndExtendAgain)
{
    Aircraft a;
    for (uint32_t leg : {token::nose_leg, token::left_leg, token::right_leg})
        EXPECT_EQ(looked_up(a, leg), Aircraft::kExtended);
    a.key_event(key::gear_up, 0);
    a.advance(Aircraft::kNoseLegSeconds + 0.1);
    EXPECT_EQ(looked_up(a, token::nose_leg), 0.0);
    EXPECT_GT(looked_up(a, token::left_leg), 0.0);
    EXPECT_GT(looked_up(a, token::right_leg), looked_up(a, token::left_leg));
    a.advance(Aircraft::kRightLegSeconds);
    EXPECT_EQ(looked_up(a, token::right_leg), 0.0);
    a.key_event(key::gear_down, 0);
    a.advance(3.0);
    double nose = looked_up(a, token::nose_leg);
    EXPECT_NEAR(nose, Aircraft::kExtended * 3 / Aircraft::kNoseLegSeconds, 1e-6);
    EXPECT_LT(nose, 16300.0) << "not down yet: the warning light stays lit";
    a.advance(Aircraft::kRightLegSeconds);
    for (uint32_t leg : {token::nose_leg, token::left_leg, token::right_leg})
        EXPECT_EQ(looked_up(a, leg), Aircraft::kExtended);
}

TEST(Aircraft, AmmeterFollowsBatteryGeneratorAndLoads)
{
    Aircraft a;
    EXPECT_EQ(looked_up(a, token::ammeter), 0.0) << "battery off: no current";
    a.key_event(key::battery_toggle, 0);
    a.advance(2);
    double base = looked_up(a, token::ammeter);
    EXPECT_LT(base, 0.0) << "on the battery alone it discharges";
    a.key_event(key::pitot_heat_set, 1);
    a.advance(2);
    EXPECT_LT(looked_up(a, token::ammeter), base - 5);
    a.key_event(key::pitot_heat_set, 0);
    a.key_event(key::magnetos_both, 0);
    a.key_event(key::fuel_selector_set, selector_left);
    a.key_event(key::mixture_set, 16383);
    a.key_event(key::starter_engage, 1);
    a.advance(4);
    ASSERT_TRUE(a.engine_running());
    a.key_event(key::generator_toggle, 0);
    a.key_event(key::throttle_set, 8000);
    a.advance(3);
    EXPECT_GT(looked_up(a, token::ammeter), 2.0) << "the generator recharges the battery";
}

TEST(Aircraft, BoostPumpGivesFuelPressureBeforeTheEngineRuns)
{
    Aircraft a;
    a.key_event(key::battery_toggle, 0);
    a.key_event(key::fuel_selector_set, selector_aux);
    a.advance(1);
    EXPECT_EQ(looked_up(a, token::fuel_pressure), 0.0);
    a.key_event(key::boost_pump_set, 1);
    a.advance(2);
    EXPECT_GT(looked_up(a, token::fuel_pressure) / 144, 4.0);
    a.key_event(key::fuel_selector_set, selector_off);
    a.advance(2);
    EXPECT_LT(looked_up(a, token::fuel_pressure) / 144, 0.1);
}

TEST(Aircraft, FuelLevelsAreFractionsOfCapacity)
{
    Aircraft a;
    a.refuel(Tank::right, 30);
    a.refuel(Tank::aux, 1000);  // more than fits: filled to capacity
    a.advance(30);
    EXPECT_DOUBLE_EQ(looked_up(a, token::right_level) / 8388608 * looked_up(a, token::right_capacity), 30.0);
    EXPECT_DOUBLE_EQ(looked_up(a, token::aux_level), 8388608.0);
    // Refuelling takes time.
    a.refuel(Tank::left, 0);
    double before = a.gallons(Tank::left);
    a.advance(1);
    EXPECT_NEAR(a.gallons(Tank::left), before - Aircraft::kRefuelGallonsPerSecond, 1e-9);
}

TEST(Aircraft, AltitudeInMetresWhileTheUnitSystemIsMetric)
{
    Aircraft a;
    double feet = looked_up(a, token::altitude);
    EXPECT_DOUBLE_EQ(feet, Aircraft::kFieldElevationFeet);
    a.set_metric(true);
    EXPECT_EQ(looked_up(a, token::unit_system), 2.0);
    EXPECT_DOUBLE_EQ(looked_up(a, token::altitude), feet * 0.3048);
    // The altimeter setting shifts what the altimeter reads: 1000 ft per inHg.
    a.set_metric(false);
    for (int i = 0; i < 10; ++i) a.key_event(key::altimeter_knob_right, 0);
    EXPECT_NEAR(looked_up(a, token::altitude), feet + 100, 1e-6);
}

TEST(Aircraft, HandSetTokenOverridesUntilReleased)
{
    Aircraft a;
    a.set(token::airspeed, 123.5);
    a.set(token::rpm, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(looked_up(a, token::airspeed), 123.5);
    EXPECT_TRUE(std::isnan(looked_up(a, token::rpm)));
    start_engine(a);
    EXPECT_EQ(looked_up(a, token::airspeed), 123.5);
    EXPECT_TRUE(std::isnan(looked_up(a, token::rpm)));
    a.release(token::rpm);
    EXPECT_GT(looked_up(a, token::rpm), 300.0) << "the model kept running underneath";
    a.release_all();
    EXPECT_EQ(looked_up(a, token::airspeed), 0.0);
}

TEST(Aircraft, CagedGyroReportsLevelAttitude)
{
    Aircraft a;
    a.preset_running();
    a.start_demo_flight();
    a.advance(40);  // in the left turn
    ASSERT_LT(looked_up(a, token::bank), -10.0);
    a.key_event(key::attitude_cage_toggle, 0);
    EXPECT_EQ(looked_up(a, token::bank), 0.0);
    EXPECT_EQ(looked_up(a, token::pitch), 0.0);
    a.key_event(key::attitude_cage_toggle, 0);
    EXPECT_LT(looked_up(a, token::bank), -10.0);
}

TEST(Aircraft, FlightMapRequestIsRecordedForTheUser)
{
    Aircraft a;
    a.key_event(key::flight_map, 0);
    ASSERT_EQ(a.messages().size(), 1u);
    EXPECT_EQ(a.messages()[0], "flight map requested");
}

TEST(Aircraft, DemoFlightClimbsTurnsBothWaysAndDescends)
{
    Aircraft a;
    a.preset_running();
    a.start_demo_flight();
    double max_alt = 0, min_turn_left = 360, min_bank = 0, max_bank = 0, max_vs = 0, min_vs = 0, max_mach = 0;
    bool left_turn = false, right_turn = false;
    double start_heading = looked_up(a, token::compass_heading);
    for (double t = 0; t < Aircraft::demo_flight_seconds(); t += 0.5) {
        a.advance(0.5);
        max_alt = std::max(max_alt, looked_up(a, token::altitude));
        double turn = looked_up(a, token::turn);
        if (turn > 5 && turn < 180) left_turn = true;
        if (turn > 180 && turn < 355) right_turn = true;
        (void)min_turn_left;
        min_bank = std::min(min_bank, looked_up(a, token::bank));
        max_bank = std::max(max_bank, looked_up(a, token::bank));
        max_vs = std::max(max_vs, looked_up(a, token::vertical_speed));
        min_vs = std::min(min_vs, looked_up(a, token::vertical_speed));
        max_mach = std::max(max_mach, looked_up(a, token::mach));
        double pitch = looked_up(a, token::pitch);
        ASSERT_TRUE(std::isfinite(pitch) && std::fabs(pitch) < 30) << "t " << t;
        double heading = looked_up(a, token::gyro_heading);
        ASSERT_TRUE(heading >= 0 && heading < 360) << "t " << t;
    }
    EXPECT_GT(max_alt, Aircraft::kFieldElevationFeet + 1000);
    EXPECT_TRUE(left_turn);
    EXPECT_TRUE(right_turn);
    EXPECT_LT(min_bank, -20);
    EXPECT_GT(max_bank, 20);
    EXPECT_GT(max_vs, 1000 / 3.2808 / 60 * 256);   // climbed faster than 1000 ft/min
    EXPECT_LT(min_vs, -1000 / 3.2808 / 60 * 256);  // and descended so
    EXPECT_GT(max_mach / 20480, 0.2);
    EXPECT_NE(looked_up(a, token::compass_heading), start_heading);
}

TEST(Aircraft, SameInputsSameOutputsWhateverPiecesTimeComesIn)
{
    Aircraft a, b;
    for (Aircraft* x : {&a, &b}) {
        x->key_event(key::battery_toggle, 0);
        x->key_event(key::magnetos_both, 0);
        x->key_event(key::fuel_selector_set, selector_left);
        x->key_event(key::mixture_set, 16383);
        x->key_event(key::starter_engage, 1);
        x->start_demo_flight();
    }
    for (int i = 0; i < 18 * 60; ++i) a.advance(1.0 / 18);
    for (int i = 0; i < 60; ++i) b.advance(1.0);
    for (uint32_t t : Aircraft::tokens())
        EXPECT_NEAR(a.value(t), b.value(t), 1e-6 * (1 + std::fabs(a.value(t)))) << t;
}

TEST(Aircraft, ClockRunsWithHostTime)
{
    Aircraft a;
    double h = looked_up(a, token::clock_hour), m = looked_up(a, token::clock_minute);
    double s = looked_up(a, token::clock_second);
    a.advance(75);
    double seconds0 = h * 3600 + m * 60 + s;
    double seconds1 = looked_up(a, token::clock_hour) * 3600 + looked_up(a, token::clock_minute) * 60 +
                      looked_up(a, token::clock_second);
    EXPECT_NEAR(seconds1 - seconds0, 75, 1);
}

TEST(Aircraft, BadHostTimeIsIgnored)
{
    Aircraft a;
    a.advance(std::numeric_limits<double>::quiet_NaN());
    a.advance(-5);
    a.advance(std::numeric_limits<double>::infinity());
    EXPECT_EQ(a.time(), 0.0);
}

}  // namespace

namespace {

TEST(Aircraft, DemoFlightWorksTheThrottleOnlyWhenAsked)
{
    Aircraft pilot, demo;
    for (Aircraft* a : {&pilot, &demo}) a->preset_running();
    pilot.start_demo_flight();
    demo.start_demo_flight(/*work_levers=*/true);
    pilot.advance(10);
    demo.advance(10);
    EXPECT_DOUBLE_EQ(pilot.value(token::throttle), 0.1) << "the pilot's lever stays where it was";
    EXPECT_DOUBLE_EQ(demo.value(token::throttle), 1.0) << "full power for the take-off";
    EXPECT_GT(demo.value(token::rpm), 2800);
    double take_off_inhg = demo.value(token::manifold) * 64 / 65536;
    demo.advance(100);  // descending
    EXPECT_LT(demo.value(token::throttle), 0.33);
    EXPECT_LT(demo.value(token::manifold) * 64 / 65536, take_off_inhg - 20);
}

}  // namespace
