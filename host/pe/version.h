// A module's version resource: the fixed file and product versions and the
// texts of its first string table.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>

namespace gaugehost::pe {

struct VersionInfo {
    std::string file_version;     // "2.9.60418.11", from the fixed file information
    std::string product_version;
    std::map<std::string, std::string> strings;  // "FileVersion", "ProductName", ...
};

// Parses the data of a version resource (a VS_VERSIONINFO block). Throws
// PeError naming `what` for a malformed block.
VersionInfo parse_version_resource(std::span<const uint8_t> data, const std::string& what);

// The version resource of a module file; nullopt if it has none. The
// Windows host asks the system's version API; the native host reads the
// file's resources itself. Throws for a file that cannot be read.
std::optional<VersionInfo> read_version_info(const std::string& path);

}  // namespace gaugehost::pe
