// The message formatter of tooltip texts and the Windows-1252 conversion.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "host/format.h"

using gaugehost::TooltipValue;

namespace {

TooltipValue number(double v)
{
    TooltipValue t;
    t.number = v;
    return t;
}

TooltipValue text(const char* s)
{
    TooltipValue t;
    t.is_text = true;
    t.text = s;
    return t;
}

const double nan = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();

struct FormatCase {
    const char* format;
    std::vector<TooltipValue> args;
    const char* expected;
};

class MessageFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(MessageFormat, FormatsLikeTheHost)
{
    const FormatCase& c = GetParam();
    EXPECT_EQ(gaugehost::format_message(c.format, c.args), c.expected) << c.format;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MessageFormat,
    ::testing::Values(
        FormatCase{"Throttle Control (%1!d!%%)", {number(75)}, "Throttle Control (75%)"},
        FormatCase{"%1!d!", {number(115.078)}, "115"},
        FormatCase{"%1!d!", {number(-0.9)}, "0"},       // toward zero
        FormatCase{"%1!d!", {number(-7.9)}, "-7"},
        FormatCase{"%1!d!", {number(nan)}, "0"},
        FormatCase{"%1!d!", {number(1e20)}, "2147483647"},
        FormatCase{"%1!d!", {number(-inf)}, "-2147483648"},
        FormatCase{"Machmeter (%1!1.3f! mach)", {number(0.5)}, "Machmeter (0.500 mach)"},
        FormatCase{"%1!1.2f! inHg", {number(29.92)}, "29.92 inHg"},
        FormatCase{"%1!1.2f!", {number(nan)}, "nan"},
        FormatCase{"%1!1.2f!", {number(-inf)}, "-inf"},
        FormatCase{"Ignition %1!s!", {text("Both")}, "Ignition Both"},
        FormatCase{"Clock", {text("")}, "Clock"},                   // no insert: text unchanged
        FormatCase{"%2!d! then %1!d!", {number(1), number(2)}, "2 then 1"},
        FormatCase{"(%3!d!)", {number(1)}, "()"},                  // missing argument: left out
        FormatCase{"100%% sure", {}, "100% sure"},
        FormatCase{"50%", {}, "50%"},                               // a lone percent stays
        FormatCase{"%1!d", {number(3)}, "%1!d"},                    // unterminated insert kept as text
        FormatCase{"%1!%n!", {number(3)}, ""},                      // refused conversion: nothing
        FormatCase{"%1!999999999f!", {number(3)}, ""},              // absurd width: nothing
        FormatCase{"%1", {text("x")}, "x"}));

TEST(Cp1252, DegreeSignAndTheHighRangeBecomeUtf8)
{
    EXPECT_EQ(gaugehost::cp1252_to_utf8("30\xB0"), "30\u00B0");
    EXPECT_EQ(gaugehost::cp1252_to_utf8("\x80"), "\u20AC");
    EXPECT_EQ(gaugehost::cp1252_to_utf8("\x81"), "\uFFFD");  // undefined in Windows-1252
    EXPECT_EQ(gaugehost::cp1252_to_utf8("\xFF"), "\u00FF");
    EXPECT_EQ(gaugehost::cp1252_to_utf8("plain"), "plain");
}

TEST(Conversions, SaturateAndRoundAreDefinedForEveryDouble)
{
    EXPECT_EQ(gaugehost::saturate_int32(nan), 0);
    EXPECT_EQ(gaugehost::saturate_int32(2147483647.9), 2147483647);
    EXPECT_EQ(gaugehost::saturate_int32(-2147483648.9), -2147483647 - 1);
    EXPECT_EQ(gaugehost::saturate_int32(-2147483647.5), -2147483647);
    EXPECT_EQ(gaugehost::round_int32(2.5), 3);
    EXPECT_EQ(gaugehost::round_int32(-2.5), -3);
    EXPECT_EQ(gaugehost::round_int32(inf), 2147483647);
    EXPECT_EQ(gaugehost::round_int32(nan), 0);
}

}  // namespace
