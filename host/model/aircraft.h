// The host's aircraft: a small deterministic state model that owns every
// token the panel's gauges read and answers every key event they send.
//
// Controls (magnetos, switches, levers, fuel selector, flaps, gear, starter,
// knobs) change the model's state at once; engine values follow the controls
// over time; flight values follow the scripted demo flight once it has been
// started, else the aircraft stands parked on the field. A token set by hand
// overrides what the model reports for it until it is released; the model
// itself keeps running underneath.
//
// Same inputs, same outputs: the model integrates in fixed internal steps,
// whatever pieces host time arrives in.
//
// Units of the tokens, as the gauges' conversions read them:
//   3, 4, 5      clock hour (0..23), minute, second
//   13           pitot heat switch 0/1
//   61           indicated airspeed, knots
//   64           Mach number x 20480
//   65           vertical speed, metres per second x 256 (positive up)
//   69           inclinometer ball, -127..127 (positive: ball to the right)
//   74           indicated altitude, feet (metres while 335 = 2.0)
//   76           altimeter setting, inHg
//   78, 80       pitch (nose up positive), bank (right wing down positive), deg
//   79           rate of turn as an angle: 0..180 left, 180..360 right; the
//                turn needle's unit is kTurnUnitsPerDegreePerSecond per deg/s
//   81, 84       magnetic compass heading, heading indicator, degrees 0..360
//   133, 134     right, left magneto: 1.0 on, 0.0 off
//   147, 148     oil temperature (C x 16384/140), oil pressure (psi x 16384/55)
//   152          manifold pressure, inHg x 65536/64
//   291/297/293  left/right/auxiliary tank level, fraction x 8388608
//   292/298/294  their capacities, gallons
//   329, 330     left, right flap extension 0..16384
//   331          gear lever: 1 down, 0 up
//   332..334     nose, left, right gear leg extension 0..16384
//   335          unit system: 2.0 metric (altitude in metres), 0.0 feet
//   350          outside air temperature, C / 256
//   363, 364     generator, battery switch 0/1; 367 boost pump 0/1
//   390          engine speed, RPM
//   401          starter 1 engaged, 0 not
//   417          coolant temperature, Rankine
//   422          fuel selector, int32 in the value field's low half
//                (0 off, 1 or 2 left, 3 right, 9 auxiliary)
//   425          fuel pressure, pounds per square foot
//   558/559/560  throttle/propeller/mixture lever, fraction 0..1
//   754          battery current, amperes (negative: discharge)
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/simulation.h"

namespace gaugehost {

namespace token {
enum : uint32_t {
    clock_hour = 3,
    clock_minute = 4,
    clock_second = 5,
    pitot_heat = 13,
    airspeed = 61,
    mach = 64,
    vertical_speed = 65,
    ball = 69,
    altitude = 74,
    altimeter_setting = 76,
    pitch = 78,
    turn = 79,
    bank = 80,
    compass_heading = 81,
    gyro_heading = 84,
    right_magneto = 133,
    left_magneto = 134,
    oil_temperature = 147,
    oil_pressure = 148,
    manifold = 152,
    left_level = 291,
    left_capacity = 292,
    aux_level = 293,
    aux_capacity = 294,
    right_level = 297,
    right_capacity = 298,
    left_flap = 329,
    right_flap = 330,
    gear_lever = 331,
    nose_leg = 332,
    left_leg = 333,
    right_leg = 334,
    unit_system = 335,
    outside_air = 350,
    generator = 363,
    battery = 364,
    boost_pump = 367,
    rpm = 390,
    starter = 401,
    coolant = 417,
    fuel_selector = 422,
    fuel_pressure = 425,
    throttle = 558,
    propeller = 559,
    mixture = 560,
    ammeter = 754,
};
}  // namespace token

// Key events the gauges send.
namespace key {
enum : uint32_t {
    magnetos_down = 0x10062,
    magnetos_up = 0x10063,
    magnetos_off = 0x101E7,
    magnetos_left = 0x101E8,
    magnetos_right = 0x101E9,
    magnetos_both = 0x101EA,
    flaps_up = 0x100DF,
    flaps_down = 0x100DE,
    gear_up = 0x1021F,
    gear_down = 0x10220,
    throttle_set = 0x1011C,
    mixture_set = 0x1017F,
    propeller_set = 0x10183,
    fuel_selector_set = 0x101AA,
    boost_pump_set = 0x102BD,
    pitot_heat_set = 0x1021A,
    generator_toggle = 0x102C2,
    battery_toggle = 0x102C1,
    starter_engage = 0x1018C,
    attitude_cage_toggle = 0x10345,
    altimeter_knob_left = 0x1015C,
    altimeter_knob_right = 0x1015B,
    gyro_knob_left = 0x10156,
    gyro_knob_right = 0x10155,
    flight_map = 0x10380,
};
}  // namespace key

// Fuel selector values of key event 0x101AA and token 422.
enum FuelSelector : int32_t { selector_off = 0, selector_left = 2, selector_right = 3, selector_aux = 9 };

enum class Tank { left, right, aux };

class Aircraft : public Simulation {
public:
    // Internal integration step, seconds.
    static constexpr double kStep = 1.0 / 72.0;
    // Full lever travel of a lever key event.
    static constexpr int32_t kLeverTop = 16383;
    // Extension of a flap or gear leg fully down.
    static constexpr double kExtended = 16384.0;
    static constexpr double kFlapTravelSeconds = 8.0;
    // Gear legs run at slightly different speeds, so they arrive one by one.
    static constexpr double kNoseLegSeconds = 5.0, kLeftLegSeconds = 6.0, kRightLegSeconds = 6.5;
    // Starter: disengages by itself this long after the last engage event.
    static constexpr double kStarterHoldSeconds = 3.0;
    // Cranking this long with ignition, fuel and mixture lets the engine catch.
    static constexpr double kCatchSeconds = 1.0;
    static constexpr double kIdleRpm = 600.0;
    static constexpr double kCrankRpm = 250.0;
    static constexpr double kTurnUnitsPerDegreePerSecond = 8.0;
    static constexpr double kFieldElevationFeet = 500.0;

    Aircraft();

    // Simulation
    void lookup(TokenVar& var) override;
    void key_event(uint32_t id, uint32_t value) override;
    void advance(double seconds) override;

    // The value the gauges get for a token now (the hand-set one if any), and
    // the model's own value underneath.
    double value(uint32_t token) const;
    double model_value(uint32_t token) const;
    // Raw value field bits as a look-up fills them.
    uint64_t value_bits(uint32_t token) const;

    // Values set by hand override the model until released.
    void set(uint32_t token, double value);
    void set_int32(uint32_t token, int32_t value);
    void release(uint32_t token);
    void release_all() { overrides_.clear(); }
    bool overridden(uint32_t token) const { return overrides_.count(token) != 0; }

    // Every token the model answers, in ascending order.
    static const std::vector<uint32_t>& tokens();

    // Starts the scripted demo flight from the aircraft's current place
    // (take-off roll, climb, turns, cruise, descent); it runs
    // demo_flight_seconds() and then holds its last values. With
    // `work_levers` the demo also sets the throttle for each phase (when no
    // pilot works the quadrant); otherwise the levers stay the pilot's.
    void start_demo_flight(bool work_levers = false);
    bool demo_flight_running() const { return flight_active_; }
    double demo_flight_time() const { return flight_time_; }
    static double demo_flight_seconds();

    // Puts the aircraft into the state of an engine already running: battery
    // and generator on, both magnetos, left tank, mixture rich, engine warm.
    void preset_running();

    // Unit system of the altitude token: metres or feet.
    void set_metric(bool metric) { metric_ = metric; }
    bool metric() const { return metric_; }

    // Ground crew: pumps fuel into a tank at kRefuelGallonsPerSecond until it
    // holds `gallons` (or drains to it).
    static constexpr double kRefuelGallonsPerSecond = 4.0;
    void refuel(Tank tank, double gallons);
    double gallons(Tank tank) const;
    double capacity(Tank tank) const;

    bool engine_running() const { return running_; }
    // Messages for the pilot (the flight map request), oldest first.
    const std::vector<std::string>& messages() const { return messages_; }
    double time() const { return time_; }

private:
    struct Tanks {
        double gallons = 0, capacity = 0, target = -1;
    };
    void step(double dt);
    void step_engine(double dt);
    void step_electrics(double dt);
    void step_flight(double dt);
    bool electric_power() const;
    Tanks* selected_tank();
    const Tanks* selected_tank() const;
    bool fuel_available() const;
    double ambient_inhg() const;
    double pressure_altitude() const { return altitude_ft_; }

    std::map<uint32_t, uint64_t> overrides_;
    double time_ = 0;
    double pending_ = 0;  // host time not yet integrated

    // Controls
    bool left_magneto_ = false, right_magneto_ = false;
    bool battery_ = false, generator_ = false, boost_pump_ = false, pitot_heat_ = false;
    double throttle_ = 0.1, mixture_ = 0.0, propeller_ = 1.0;
    int32_t selector_ = selector_off;
    bool flaps_commanded_down_ = false;
    bool gear_lever_down_ = true;
    double altimeter_setting_ = 29.92;
    double gyro_offset_ = 0;
    bool caged_ = false;
    bool metric_ = false;

    // Systems
    bool starter_ = false;
    double starter_left_ = 0;  // seconds until the starter disengages
    double cranking_ = 0;      // seconds of cranking with everything ready
    bool running_ = false;
    double rpm_ = 0, manifold_inhg_ = 29.92;
    double oil_c_ = 12, oil_psi_ = 0, coolant_c_ = 12, fuel_psi_ = 0, amps_ = 0;
    double recharge_amps_ = 0;  // what the start took from the battery
    Tanks left_{40, 60}, right_{55, 60}, aux_{20, 30};
    double flaps_ = 0;
    double legs_[3] = {kExtended, kExtended, kExtended};

    // Flight
    bool flight_active_ = false;
    bool demo_levers_ = false;
    double flight_time_ = 0;
    double airspeed_kt_ = 0, vertical_fpm_ = 0, altitude_ft_ = kFieldElevationFeet;
    double bank_deg_ = 0, previous_bank_ = 0, pitch_deg_ = 0, heading_deg_ = 300, turn_rate_ = 0;
    double ball_ = 0;

    std::vector<std::string> messages_;
};

}  // namespace gaugehost
