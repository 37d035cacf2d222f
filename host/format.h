// Tooltip texts: the message formatter's inserts and Windows-1252 text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gaugehost {

// One tooltip argument as the callbacks gave it.
struct TooltipValue {
    bool is_text = false;
    double number = 0;
    std::string text;  // Windows-1252, as the module returned it
};

// Formats a Windows-1252 format text with message-formatter inserts:
// %n!d! (and other integer printf forms) truncates toward zero, NaN gives 0,
// out-of-range values saturate; %n!<printf>! formats a double as printf
// would ("1.3f"); %n!s! inserts text; %n alone inserts the argument as text
// or number; %% is a percent sign. An insert that names a missing argument
// is left out. The result is still Windows-1252.
std::string format_message(const std::string& format, const std::vector<TooltipValue>& args);

// Windows-1252 to UTF-8.
std::string cp1252_to_utf8(const std::string& text);

// A double as printf("%<spec>") would print it, with "nan", "inf" and
// "-inf" for the non-finite values on every platform.
std::string format_double(const std::string& spec, double value);

// Truncates toward zero into int32; NaN gives 0, beyond the range saturates.
int32_t saturate_int32(double value);
// Rounds to the nearest integer into int32, with the same rules.
int32_t round_int32(double value);

}  // namespace gaugehost
