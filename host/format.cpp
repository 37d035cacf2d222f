#include "format.h"

#include <cmath>
#include <cstdio>

namespace gaugehost {

int32_t saturate_int32(double value)
{
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return int32_t(value);
}

int32_t round_int32(double value)
{
    return saturate_int32(std::isfinite(value) ? std::round(value) : value);
}

namespace {

bool valid_spec(const std::string& spec, const std::string& conversions)
{
    // flags, width, precision, one conversion letter
    size_t i = 0;
    while (i < spec.size() && std::string("-+ #0").find(spec[i]) != std::string::npos) ++i;
    size_t digits = 0;
    while (i < spec.size() && std::isdigit(static_cast<unsigned char>(spec[i])) && digits < 3) ++i, ++digits;
    if (i < spec.size() && spec[i] == '.') {
        ++i;
        digits = 0;
        while (i < spec.size() && std::isdigit(static_cast<unsigned char>(spec[i])) && digits < 3) ++i, ++digits;
    }
    return i + 1 == spec.size() && conversions.find(spec[i]) != std::string::npos;
}

}  // namespace

std::string format_double(const std::string& spec, double value)
{
    if (!std::isfinite(value)) {
        if (std::isnan(value)) return "nan";
        return value > 0 ? "inf" : "-inf";
    }
    if (!valid_spec(spec, "fFeEgG")) return "";
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, ("%" + spec).c_str(), value);
    return buffer;
}

static std::string format_integer(const std::string& spec, double value)
{
    if (!valid_spec(spec, "diuxXo")) return "";
    char buffer[64];
    std::string conversion = "%" + spec;
    std::snprintf(buffer, sizeof buffer, conversion.c_str(), saturate_int32(value));
    return buffer;
}

static std::string insert(const std::string& spec, const TooltipValue* arg)
{
    if (!arg) return "";
    if (spec == "s" || (spec.empty() && arg->is_text)) return arg->is_text ? arg->text : format_double("g", arg->number);
    if (arg->is_text) return arg->text;
    if (spec.empty()) return format_double("g", arg->number);
    char conversion = spec.back();
    if (std::string("diuxXo").find(conversion) != std::string::npos) return format_integer(spec, arg->number);
    return format_double(spec, arg->number);
}

std::string format_message(const std::string& format, const std::vector<TooltipValue>& args)
{
    std::string out;
    for (size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c != '%' || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        char next = format[i + 1];
        if (next == '%') {
            out += '%';
            ++i;
            continue;
        }
        if (next < '1' || next > '9') {
            out += c;
            continue;
        }
        size_t j = i + 1;
        int number = 0;
        while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j])) && number < 100)
            number = number * 10 + (format[j++] - '0');
        std::string spec;
        if (j < format.size() && format[j] == '!') {
            size_t end = format.find('!', j + 1);
            if (end == std::string::npos) {  // unterminated insert: keep the text as it is
                out += format.substr(i);
                break;
            }
            spec = format.substr(j + 1, end - j - 1);
            j = end + 1;
        }
        const TooltipValue* arg = number >= 1 && size_t(number) <= args.size() ? &args[number - 1] : nullptr;
        out += insert(spec, arg);
        i = j - 1;
    }
    return out;
}

std::string cp1252_to_utf8(const std::string& text)
{
    // Code points of bytes 0x80-0x9F; 0 marks the five bytes Windows-1252 leaves undefined.
    static const uint16_t high[32] = {
        0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
    };
    std::string out;
    for (unsigned char c : text) {
        uint32_t cp = c;
        if (c >= 0x80 && c < 0xA0) cp = high[c - 0x80] ? high[c - 0x80] : 0xFFFD;
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

}  // namespace gaugehost
