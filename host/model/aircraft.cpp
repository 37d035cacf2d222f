#include "aircraft.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace gaugehost {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kFeetPerMetre = 1.0 / 0.3048;
// Clock time of day when the model starts: 10:42:00.
constexpr double kClockStartSeconds = 10 * 3600 + 42 * 60;

// One point of the demo flight: from the previous point the targets move
// linearly to these values (bank eased, so the rolls look like rolls).
struct FlightPoint {
    double time;      // seconds from the start of the demo flight
    double airspeed;  // knots indicated
    double vertical;  // feet per minute
    double bank;      // degrees, right wing down positive
    double throttle;  // lever fraction, when the demo works the levers itself
};

// Take-off roll, climb with a left turn, cruise with a right turn, descent,
// level-off.
constexpr FlightPoint kDemoFlight[] = {
    {0, 0, 0, 0, 1.0},         {16, 80, 0, 0, 1.0},       {19, 90, 1500, 0, 1.0},   {32, 105, 2000, 0, 1.0},
    {36, 110, 2000, -25, 0.9}, {50, 115, 1800, -25, 0.9}, {54, 125, 1200, 0, 0.9},  {64, 165, 0, 0, 0.7},
    {72, 175, 0, 0, 0.7},      {76, 175, 0, 30, 0.7},     {90, 175, 0, 30, 0.7},    {94, 175, 0, 0, 0.7},
    {100, 165, -1500, 0, 0.3}, {118, 150, -1500, 0, 0.3}, {124, 120, -400, 0, 0.4}, {132, 110, 0, 0, 0.5},
};

FlightPoint demo_targets(double t)
{
    const size_t n = sizeof kDemoFlight / sizeof kDemoFlight[0];
    if (t <= kDemoFlight[0].time) return kDemoFlight[0];
    for (size_t i = 1; i < n; ++i) {
        const FlightPoint& a = kDemoFlight[i - 1];
        const FlightPoint& b = kDemoFlight[i];
        if (t > b.time) continue;
        double f = (t - a.time) / (b.time - a.time);
        double eased = f * f * (3 - 2 * f);
        return {t, a.airspeed + (b.airspeed - a.airspeed) * f, a.vertical + (b.vertical - a.vertical) * f,
                a.bank + (b.bank - a.bank) * eased, a.throttle + (b.throttle - a.throttle) * f};
    }
    return kDemoFlight[n - 1];
}

// First-order approach of `value` to `target` with time constant tau.
double approach(double value, double target, double dt, double tau)
{
    double k = dt / tau;
    return value + (target - value) * (k > 1 ? 1 : k);
}

// Moves `value` toward `target` by at most rate * dt.
double move_toward(double value, double target, double rate, double dt)
{
    double d = rate * dt;
    if (value < target) return std::min(target, value + d);
    return std::max(target, value - d);
}

double wrap360(double angle)
{
    angle = std::fmod(angle, 360.0);
    return angle < 0 ? angle + 360.0 : angle;
}

uint64_t bits_of(double v)
{
    uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

double lever_fraction(uint32_t value)
{
    int32_t v = int32_t(value);
    v = std::clamp<int32_t>(v, 0, Aircraft::kLeverTop);
    return double(v) / Aircraft::kLeverTop;
}

}  // namespace

Aircraft::Aircraft() = default;

const std::vector<uint32_t>& Aircraft::tokens()
{
    static const std::vector<uint32_t> all = [] {
        std::vector<uint32_t> t = {
            token::clock_hour,     token::clock_minute,
            token::clock_second,   token::pitot_heat,
            token::airspeed,       token::mach,
            token::vertical_speed, token::ball,
            token::altitude,       token::altimeter_setting,
            token::pitch,          token::turn,
            token::bank,           token::compass_heading,
            token::gyro_heading,   token::right_magneto,
            token::left_magneto,   token::oil_temperature,
            token::oil_pressure,   token::manifold,
            token::left_level,     token::left_capacity,
            token::aux_level,      token::aux_capacity,
            token::right_level,    token::right_capacity,
            token::left_flap,      token::right_flap,
            token::gear_lever,     token::nose_leg,
            token::left_leg,       token::right_leg,
            token::unit_system,    token::outside_air,
            token::generator,      token::battery,
            token::boost_pump,     token::rpm,
            token::starter,        token::coolant,
            token::fuel_selector,  token::fuel_pressure,
            token::throttle,       token::propeller,
            token::mixture,        token::ammeter,
        };
        std::sort(t.begin(), t.end());
        return t;
    }();
    return all;
}

// ---------------------------------------------------------------------------
// Tokens

double Aircraft::model_value(uint32_t t) const
{
    const double clock = kClockStartSeconds + time_;
    const double tas = airspeed_kt_ * (1 + 0.02 * altitude_ft_ / 1000);
    const double oat = 15 - 1.98 * altitude_ft_ / 1000;
    switch (t) {
        case token::clock_hour:
            return std::floor(std::fmod(clock / 3600, 24));
        case token::clock_minute:
            return std::floor(std::fmod(clock / 60, 60));
        case token::clock_second:
            return std::floor(std::fmod(clock, 60));
        case token::pitot_heat:
            return pitot_heat_ ? 1 : 0;
        case token::airspeed:
            return airspeed_kt_;
        case token::mach: {
            double sound_kt = 661.47 * std::sqrt((oat + 273.15) / 288.15);
            return tas / sound_kt * 20480;
        }
        case token::vertical_speed:
            return vertical_fpm_ / kFeetPerMetre / 60 * 256;
        case token::ball:
            return ball_;
        case token::altitude: {
            double feet = altitude_ft_ + (altimeter_setting_ - 29.92) * 1000;
            return metric_ ? feet * 0.3048 : feet;
        }
        case token::altimeter_setting:
            return altimeter_setting_;
        case token::pitch:
            return caged_ ? 0 : pitch_deg_;
        case token::turn:
            return wrap360(-turn_rate_ * kTurnUnitsPerDegreePerSecond);
        case token::bank:
            return caged_ ? 0 : bank_deg_;
        case token::compass_heading:
            return wrap360(heading_deg_);
        case token::gyro_heading:
            return wrap360(heading_deg_ + gyro_offset_);
        case token::right_magneto:
            return right_magneto_ ? 1 : 0;
        case token::left_magneto:
            return left_magneto_ ? 1 : 0;
        case token::oil_temperature:
            return oil_c_ * 16384 / 140;
        case token::oil_pressure:
            return oil_psi_ * 16384 / 55;
        case token::manifold:
            return manifold_inhg_ * 65536 / 64;
        case token::left_level:
            return left_.gallons / left_.capacity * 8388608;
        case token::left_capacity:
            return left_.capacity;
        case token::aux_level:
            return aux_.gallons / aux_.capacity * 8388608;
        case token::aux_capacity:
            return aux_.capacity;
        case token::right_level:
            return right_.gallons / right_.capacity * 8388608;
        case token::right_capacity:
            return right_.capacity;
        case token::left_flap:
        case token::right_flap:
            return flaps_;
        case token::gear_lever:
            return gear_lever_down_ ? 1 : 0;
        case token::nose_leg:
            return legs_[0];
        case token::left_leg:
            return legs_[1];
        case token::right_leg:
            return legs_[2];
        case token::unit_system:
            return metric_ ? 2.0 : 0.0;
        case token::outside_air:
            return oat / 256;
        case token::generator:
            return generator_ ? 1 : 0;
        case token::battery:
            return battery_ ? 1 : 0;
        case token::boost_pump:
            return boost_pump_ ? 1 : 0;
        case token::rpm:
            return rpm_;
        case token::starter:
            return starter_ ? 1 : 0;
        case token::coolant:
            return (coolant_c_ + 273.15) * 9 / 5;
        case token::fuel_selector:
            return selector_;
        case token::fuel_pressure:
            return fuel_psi_ * 144;
        case token::throttle:
            return throttle_;
        case token::propeller:
            return propeller_;
        case token::mixture:
            return mixture_;
        case token::ammeter:
            return amps_;
        default:
            return 0;
    }
}

uint64_t Aircraft::value_bits(uint32_t t) const
{
    auto it = overrides_.find(t);
    if (it != overrides_.end()) return it->second;
    if (t == token::fuel_selector) return uint32_t(selector_);
    return bits_of(model_value(t));
}

double Aircraft::value(uint32_t t) const
{
    uint64_t b = value_bits(t);
    if (t == token::fuel_selector) return int32_t(uint32_t(b));
    double v;
    std::memcpy(&v, &b, sizeof v);
    return v;
}

void Aircraft::lookup(TokenVar& var)
{
    uint64_t b = value_bits(var.token);
    std::memcpy(&var.value, &b, sizeof b);
}

void Aircraft::set(uint32_t t, double v)
{
    overrides_[t] = bits_of(v);
}

void Aircraft::set_int32(uint32_t t, int32_t v)
{
    overrides_[t] = uint32_t(v);
}

void Aircraft::release(uint32_t t)
{
    overrides_.erase(t);
}

// ---------------------------------------------------------------------------
// Controls

void Aircraft::key_event(uint32_t id, uint32_t value)
{
    // The ignition switch steps along its dial: Off, L, R, Both.
    auto ignition_step = [&](int step) {
        int order = !left_magneto_ && !right_magneto_ ? 0
                    : left_magneto_ && right_magneto_ ? 3
                    : left_magneto_                   ? 1
                                                      : 2;
        order = std::clamp(order + step, 0, 3);
        left_magneto_ = order == 1 || order == 3;
        right_magneto_ = order == 2 || order == 3;
    };
    switch (id) {
        case key::magnetos_down:
            ignition_step(-1);
            break;
        case key::magnetos_up:
            ignition_step(+1);
            break;
        case key::magnetos_off:
            left_magneto_ = right_magneto_ = false;
            break;
        case key::magnetos_left:
            left_magneto_ = true, right_magneto_ = false;
            break;
        case key::magnetos_right:
            left_magneto_ = false, right_magneto_ = true;
            break;
        case key::magnetos_both:
            left_magneto_ = right_magneto_ = true;
            break;
        case key::flaps_up:
            flaps_commanded_down_ = false;
            break;
        case key::flaps_down:
            flaps_commanded_down_ = true;
            break;
        case key::gear_up:
            gear_lever_down_ = false;
            break;
        case key::gear_down:
            gear_lever_down_ = true;
            break;
        case key::throttle_set:
            throttle_ = lever_fraction(value);
            break;
        case key::mixture_set:
            mixture_ = lever_fraction(value);
            break;
        case key::propeller_set:
            propeller_ = lever_fraction(value);
            break;
        case key::fuel_selector_set:
            selector_ = int32_t(value);
            break;
        case key::boost_pump_set:
            boost_pump_ = value != 0;
            break;
        case key::pitot_heat_set:
            pitot_heat_ = value != 0;
            break;
        case key::generator_toggle:
            generator_ = !generator_;
            break;
        case key::battery_toggle:
            battery_ = !battery_;
            break;
        case key::starter_engage:
            if (value == 0) {
                starter_ = false;
            } else if (battery_ && !running_) {
                if (!starter_) cranking_ = 0;
                starter_ = true;
                starter_left_ = kStarterHoldSeconds;
            }
            break;
        case key::attitude_cage_toggle:
            caged_ = !caged_;
            break;
        case key::altimeter_knob_left:
            altimeter_setting_ = std::max(27.5, altimeter_setting_ - 0.01);
            break;
        case key::altimeter_knob_right:
            altimeter_setting_ = std::min(31.5, altimeter_setting_ + 0.01);
            break;
        case key::gyro_knob_left:
            gyro_offset_ = wrap360(gyro_offset_ - 1);
            break;
        case key::gyro_knob_right:
            gyro_offset_ = wrap360(gyro_offset_ + 1);
            break;
        case key::flight_map:
            messages_.push_back("flight map requested");
            break;
        default:
            break;
    }
    // Keep the setting on whole hundredths, as the knob's detents are.
    altimeter_setting_ = std::round(altimeter_setting_ * 100) / 100;
}

void Aircraft::refuel(Tank tank, double gallons)
{
    Tanks& t = tank == Tank::left ? left_ : tank == Tank::right ? right_ : aux_;
    t.target = std::clamp(gallons, 0.0, t.capacity);
}

double Aircraft::gallons(Tank tank) const
{
    return tank == Tank::left ? left_.gallons : tank == Tank::right ? right_.gallons : aux_.gallons;
}

double Aircraft::capacity(Tank tank) const
{
    return tank == Tank::left ? left_.capacity : tank == Tank::right ? right_.capacity : aux_.capacity;
}

void Aircraft::preset_running()
{
    battery_ = generator_ = true;
    left_magneto_ = right_magneto_ = true;
    selector_ = selector_left;
    mixture_ = 1.0;
    propeller_ = 1.0;
    throttle_ = 0.1;
    running_ = true;
    starter_ = false;
    rpm_ = kIdleRpm + throttle_ * 2400;
    manifold_inhg_ = ambient_inhg() * 0.35 + throttle_ * 48;
    oil_c_ = 55;
    oil_psi_ = 60;
    coolant_c_ = 70;
    fuel_psi_ = 5;
    amps_ = 2;
}

void Aircraft::start_demo_flight(bool work_levers)
{
    flight_active_ = true;
    flight_time_ = 0;
    demo_levers_ = work_levers;
}

double Aircraft::demo_flight_seconds()
{
    return kDemoFlight[sizeof kDemoFlight / sizeof kDemoFlight[0] - 1].time;
}

// ---------------------------------------------------------------------------
// Time

void Aircraft::advance(double seconds)
{
    if (!(seconds > 0) || !std::isfinite(seconds)) return;
    pending_ += seconds;
    // A hair of tolerance, so that 1/18 s arriving in pieces still makes
    // whole internal steps.
    while (pending_ >= kStep - 1e-9) {
        step(kStep);
        pending_ -= kStep;
    }
}

void Aircraft::step(double dt)
{
    time_ += dt;
    step_flight(dt);
    step_engine(dt);
    step_electrics(dt);

    double flap_target = flaps_commanded_down_ ? kExtended : 0;
    flaps_ = move_toward(flaps_, flap_target, kExtended / kFlapTravelSeconds, dt);
    const double leg_seconds[3] = {kNoseLegSeconds, kLeftLegSeconds, kRightLegSeconds};
    for (int i = 0; i < 3; ++i)
        legs_[i] = move_toward(legs_[i], gear_lever_down_ ? kExtended : 0, kExtended / leg_seconds[i], dt);

    for (Tanks* t : {&left_, &right_, &aux_}) {
        if (t->target < 0) continue;
        t->gallons = move_toward(t->gallons, t->target, kRefuelGallonsPerSecond, dt);
        if (t->gallons == t->target) t->target = -1;
    }
}

bool Aircraft::electric_power() const
{
    return battery_;
}

Aircraft::Tanks* Aircraft::selected_tank()
{
    switch (selector_) {
        case 1:
        case selector_left:
            return &left_;
        case selector_right:
            return &right_;
        case selector_aux:
            return &aux_;
        default:
            return nullptr;
    }
}

const Aircraft::Tanks* Aircraft::selected_tank() const
{
    return const_cast<Aircraft*>(this)->selected_tank();
}

bool Aircraft::fuel_available() const
{
    const Tanks* t = selected_tank();
    return t && t->gallons > 0;
}

double Aircraft::ambient_inhg() const
{
    return 29.92 * std::pow(1 - 6.8756e-6 * altitude_ft_, 5.2559);
}

void Aircraft::step_engine(double dt)
{
    const bool ignition = left_magneto_ || right_magneto_;
    const bool mixture_ok = mixture_ > 0.15;

    if (starter_) {
        starter_left_ -= dt;
        if (starter_left_ <= 0 || !electric_power()) starter_ = false;
    }
    if (starter_ && !running_) {
        bool ready = ignition && fuel_available() && mixture_ok;
        cranking_ = ready ? cranking_ + dt : 0;
        if (cranking_ >= kCatchSeconds) {
            running_ = true;
            starter_ = false;  // the engine caught: the starter lets go
        }
    }
    if (running_ && (!ignition || !fuel_available() || mixture_ < 0.05)) running_ = false;

    // Engine speed: idle to full power with the throttle, held by the
    // propeller governor, lean mixtures lose power, one magneto drops a bit.
    double mixture_power = std::clamp(0.55 + 0.75 * mixture_, 0.0, 1.0);
    double target = 0, tau = 2.0;
    if (running_) {
        double governed = 1800 + propeller_ * 1200;
        target = std::min(kIdleRpm + throttle_ * 2400, governed) * mixture_power;
        if (left_magneto_ != right_magneto_) target -= 80;
        target = std::max(target, 400.0);
        tau = 0.8;
    } else if (starter_) {
        target = kCrankRpm;
        tau = 0.4;
    }
    rpm_ = approach(rpm_, target, dt, tau);
    // A stopped engine's friction brings the propeller to rest.
    if (!running_ && !starter_) rpm_ = std::max(0.0, rpm_ - 150 * dt);

    double ambient = ambient_inhg();
    double manifold = running_ ? ambient * 0.35 + throttle_ * 48 * mixture_power : ambient;
    if (starter_ && !running_) manifold = ambient - 2;
    manifold_inhg_ = approach(manifold_inhg_, manifold, dt, 0.5);

    const double oat = 15 - 1.98 * altitude_ft_ / 1000;
    const double load = rpm_ / 3000;
    oil_c_ = approach(oil_c_, running_ ? 35 + 55 * load : oat, dt, running_ ? 40 : 300);
    double oil_psi = running_ ? 25 + 60 * load + std::max(0.0, 80 - oil_c_) / 80 * 20 : 0;
    oil_psi_ = approach(oil_psi_, oil_psi, dt, 0.7);
    coolant_c_ = approach(coolant_c_, running_ ? 50 + 60 * load : oat, dt, running_ ? 50 : 300);

    double fuel_psi = 0;
    if (fuel_available()) {
        fuel_psi = std::min(6.0, rpm_ / 2700 * 6);
        if (boost_pump_ && electric_power()) fuel_psi = std::max(fuel_psi, 4.5) + 1.0;
    }
    fuel_psi_ = approach(fuel_psi_, fuel_psi, dt, 0.3);

    if (running_) {
        double gph = 2.5 + 30 * throttle_ * load * mixture_power;
        Tanks* t = selected_tank();
        if (t) t->gallons = std::max(0.0, t->gallons - gph / 3600 * dt);
    }
}

void Aircraft::step_electrics(double dt)
{
    double current = 0;
    if (battery_) {
        bool charging = generator_ && running_ && rpm_ > 900;
        if (charging) {
            current = 2 + recharge_amps_;
            recharge_amps_ = approach(recharge_amps_, 0, dt, 60);
        } else {
            double load = 3 + (boost_pump_ ? 6 : 0) + (pitot_heat_ ? 9 : 0) + (starter_ ? 60 : 0);
            current = -load;
            recharge_amps_ = std::min(40.0, recharge_amps_ + load * dt / 6);
        }
    }
    amps_ = approach(amps_, current, dt, 0.3);
}

void Aircraft::step_flight(double dt)
{
    FlightPoint target{0, 0, 0, 0, 0};
    if (flight_active_) {
        flight_time_ = std::min(flight_time_ + dt, demo_flight_seconds());
        target = demo_targets(flight_time_);
        if (demo_levers_) throttle_ = target.throttle;
    }
    airspeed_kt_ = approach(airspeed_kt_, target.airspeed, dt, 1.0);
    vertical_fpm_ = approach(vertical_fpm_, target.vertical, dt, 1.5);
    bool on_ground = altitude_ft_ <= kFieldElevationFeet && vertical_fpm_ <= 1;
    if (on_ground) {
        vertical_fpm_ = std::max(vertical_fpm_, 0.0);
        target.bank = 0;
    }
    altitude_ft_ = std::max(kFieldElevationFeet, altitude_ft_ + vertical_fpm_ / 60 * dt);

    previous_bank_ = bank_deg_;
    bank_deg_ = approach(bank_deg_, target.bank, dt, 0.8);
    double roll_rate = (bank_deg_ - previous_bank_) / dt;

    double tas = airspeed_kt_ * (1 + 0.02 * altitude_ft_ / 1000);
    turn_rate_ = on_ground ? 0 : 1091 * std::tan(bank_deg_ * kPi / 180) / std::max(tas, 40.0);
    heading_deg_ = wrap360(heading_deg_ + turn_rate_ * dt);

    // Adverse yaw while rolling sends the ball toward the low wing; the
    // propeller pulls it right at high power and low speed.
    double torque = throttle_ * std::max(0.0, 1 - airspeed_kt_ / 150) * (running_ ? 12 : 0);
    ball_ = approach(ball_, std::clamp(3 * roll_rate + torque, -127.0, 127.0), dt, 0.5);

    double pitch = 0;
    if (!on_ground) {
        double path = std::atan2(vertical_fpm_, std::max(tas, 30.0) * 101.27) * 180 / kPi;
        double ias = std::max(airspeed_kt_, 50.0);
        pitch = path + 5 * (90 / ias) * (90 / ias) - 2 * flaps_ / kExtended - 2;
    }
    pitch_deg_ = approach(pitch_deg_, pitch, dt, 0.8);
}

}  // namespace gaugehost
