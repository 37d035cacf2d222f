// Where a gauge's host values come from and where its key events go: the
// host's simulation state. The token store answers look-ups from values set
// by hand; the aircraft model answers them from its own state.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>

#include "framework/gauge.h"

namespace gaugehost {

class Simulation {
public:
    virtual ~Simulation() = default;
    // Fills the record's value field with the token's current value.
    virtual void lookup(TokenVar& var) = 0;
    // The pilot worked a control: key event id with its 32-bit value.
    virtual void key_event(uint32_t id, uint32_t value) = 0;
    // Host time passes (seconds).
    virtual void advance(double /*seconds*/) {}
};

// Token values set by hand; a token never set reads 0.0. Key events are
// accepted and change nothing.
class TokenStore : public Simulation {
public:
    void set(uint32_t token, double value)
    {
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        values_[token] = bits;
    }
    // An enumerated token: a 32-bit integer in the value field's low half.
    void set_int32(uint32_t token, int32_t value) { values_[token] = uint32_t(value); }
    void set_bits(uint32_t token, uint64_t bits) { values_[token] = bits; }
    bool has(uint32_t token) const { return values_.count(token) != 0; }
    uint64_t bits(uint32_t token) const
    {
        auto it = values_.find(token);
        return it == values_.end() ? 0 : it->second;
    }

    void lookup(TokenVar& var) override
    {
        uint64_t b = bits(var.token);
        std::memcpy(&var.value, &b, sizeof b);
    }
    void key_event(uint32_t, uint32_t) override {}

private:
    std::map<uint32_t, uint64_t> values_;
};

}  // namespace gaugehost
