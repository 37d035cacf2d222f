// Reading a 32-bit Windows module (a .gau) as a file, without loading it:
// headers, section table, export and import directories and the resource
// tree. The native host uses it to draw with the bitmaps of the real
// Windows deliverables and to check what they carry.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace gaugehost::pe {

// Resource types by number.
enum : uint32_t {
    RESOURCE_BITMAP = 2,
    RESOURCE_VERSION = 16,
};

// A malformed or truncated module file. The message names the file and
// what is wrong with it.
class PeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class PeFile {
public:
    // Reads and checks the whole file; throws PeError.
    static PeFile open(const std::string& path);
    // Checks the image in `data`; `what` names it in error messages.
    PeFile(std::vector<uint8_t> data, std::string what);

    const std::string& what() const { return what_; }
    uint16_t machine() const { return machine_; }  // 0x14C for 32-bit x86
    bool is_dll() const { return (characteristics_ & 0x2000) != 0; }

    // The name the export directory gives the module, and its exported
    // names in stored order (empty without an export directory).
    const std::string& export_module_name() const { return export_module_name_; }
    const std::vector<std::string>& exports() const { return exports_; }
    // The DLLs named by the import directory, in stored order.
    const std::vector<std::string>& imported_dlls() const { return imported_dlls_; }

    // Resource data of a type and number (the first language stored), or
    // nullopt if the module has none.
    std::optional<std::span<const uint8_t>> resource(uint32_t type, uint32_t id) const;
    // Numbers of the resources of a type, ascending.
    std::vector<uint32_t> resource_ids(uint32_t type) const;

private:
    struct Section {
        std::string name;
        uint32_t virtual_address = 0;
        uint32_t virtual_size = 0;
        uint32_t raw_offset = 0;
        uint32_t raw_size = 0;
    };
    struct DataRange {
        uint32_t offset = 0;  // in the file
        uint32_t size = 0;
    };

    // File offset of `size` bytes at the relative virtual address, all
    // inside one section's file data; throws PeError naming `purpose`.
    uint32_t file_offset(uint32_t rva, uint32_t size, const char* purpose) const;
    std::string string_at(uint32_t rva, const char* purpose) const;
    void read_headers();
    void read_exports(uint32_t rva, uint32_t size);
    void read_imports(uint32_t rva, uint32_t size);
    void read_resources(uint32_t rva, uint32_t size);
    [[noreturn]] void fail(const std::string& why) const;

    std::vector<uint8_t> data_;
    std::string what_;
    uint16_t machine_ = 0;
    uint16_t characteristics_ = 0;
    std::vector<Section> sections_;
    std::string export_module_name_;
    std::vector<std::string> exports_;
    std::vector<std::string> imported_dlls_;
    std::map<uint32_t, std::map<uint32_t, DataRange>> resources_;  // type -> number -> data
};

}  // namespace gaugehost::pe
