#include "tests/support/support.h"

#include <array>
#include <cstdio>
#include <sys/wait.h>

namespace orvane_test {

CommandResult run_command(const std::string& command_line)
{
    CommandResult result;
    FILE* pipe = popen((command_line + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.output.append(buffer.data(), n);
    int status = pclose(pipe);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

static std::string quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

CommandResult run_gaugehost(const std::vector<std::string>& args)
{
    std::string line = quote(GAUGEHOST_BIN);
    for (const auto& a : args) line += " " + quote(a);
    return run_command(line);
}

}  // namespace orvane_test
