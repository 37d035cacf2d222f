// Conversions that gauge callbacks use on host values. Every conversion is
// defined for every double: NaN gives 0, values beyond the target range
// saturate at its ends, everything else truncates toward zero.
#pragma once

#include <stdint.h>
#include <string.h>

#include "gauge.h"

inline int32_t trunc_to_int32(double v)
{
    if (v != v) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return (int32_t)v;
}

inline int64_t trunc_to_int64(double v)
{
    if (v != v) return 0;
    if (v >= 9223372036854775808.0) return INT64_MAX;  // 2^63
    if (v <= -9223372036854775808.0) return INT64_MIN;
    return (int64_t)v;
}

// The low 32 bits of a 64-bit integer, as sent in a 32-bit key event value
// (negative values in two's complement).
inline uint32_t low_32_bits(int64_t v)
{
    return (uint32_t)((uint64_t)v & 0xFFFFFFFFu);
}

// The value field's 64 bits, for exact comparisons with a double's pattern.
inline uint64_t token_bits(const TokenVar* var)
{
    uint64_t bits;
    memcpy(&bits, &var->value, sizeof bits);
    return bits;
}

inline uint64_t double_bits(double v)
{
    uint64_t bits;
    memcpy(&bits, &v, sizeof bits);
    return bits;
}

// An enumerated token: a 32-bit integer in the value field's first four bytes.
inline uint32_t token_u32(const TokenVar* var)
{
    uint32_t low;
    memcpy(&low, &var->value, sizeof low);
    return low;
}
