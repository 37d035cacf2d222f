#include "pe_file.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>

namespace gaugehost::pe {

namespace {

// Limits that keep a hostile file from making the reader work forever.
constexpr uint32_t kMaxSections = 96;
constexpr uint32_t kMaxExports = 65536;
constexpr uint32_t kMaxImports = 4096;
constexpr uint32_t kMaxStringLength = 4096;

std::string hex(uint32_t v)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%X", v);
    return buffer;
}

}  // namespace

PeFile PeFile::open(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PeError(path + ": cannot open file");
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return PeFile(std::move(data), path);
}

PeFile::PeFile(std::vector<uint8_t> data, std::string what) : data_(std::move(data)), what_(std::move(what))
{
    read_headers();
}

void PeFile::fail(const std::string& why) const
{
    throw PeError(what_ + ": not a readable Windows module: " + why);
}

namespace {

uint16_t u16(const std::vector<uint8_t>& d, size_t at)
{
    return uint16_t(d[at] | d[at + 1] << 8);
}

uint32_t u32(const std::vector<uint8_t>& d, size_t at)
{
    return uint32_t(d[at]) | uint32_t(d[at + 1]) << 8 | uint32_t(d[at + 2]) << 16 | uint32_t(d[at + 3]) << 24;
}

}  // namespace

void PeFile::read_headers()
{
    const size_t size = data_.size();
    if (size < 64 || data_[0] != 'M' || data_[1] != 'Z') fail("no DOS header (file too short or no 'MZ')");
    const uint32_t pe_at = u32(data_, 0x3C);
    if (pe_at < 64 || uint64_t(pe_at) + 24 > size) fail("PE header offset " + hex(pe_at) + " lies outside the file");
    if (u32(data_, pe_at) != 0x00004550) fail("no PE signature at " + hex(pe_at));

    const size_t coff = pe_at + 4;
    machine_ = u16(data_, coff);
    const uint32_t section_count = u16(data_, coff + 2);
    const uint32_t optional_size = u16(data_, coff + 16);
    characteristics_ = u16(data_, coff + 18);
    const size_t optional_at = coff + 20;
    if (optional_at + optional_size > size) fail("optional header runs past the end of the file");
    if (optional_size < 2) fail("no optional header");
    const uint16_t magic = u16(data_, optional_at);
    size_t directories_at;
    size_t count_at;
    if (magic == 0x10B) {
        count_at = 92;
        directories_at = 96;
    } else if (magic == 0x20B) {
        count_at = 108;
        directories_at = 112;
    } else {
        fail("unknown optional header magic " + hex(magic));
    }
    if (optional_size < directories_at) fail("optional header too short (" + std::to_string(optional_size) + " bytes)");
    uint32_t directory_count = u32(data_, optional_at + count_at);
    if (directory_count > (optional_size - directories_at) / 8)
        fail(std::to_string(directory_count) + " data directories do not fit the optional header");

    if (section_count == 0 || section_count > kMaxSections)
        fail("impossible section count " + std::to_string(section_count));
    const size_t table_at = optional_at + optional_size;
    if (table_at + size_t(section_count) * 40 > size) fail("section table runs past the end of the file");
    for (uint32_t i = 0; i < section_count; ++i) {
        const size_t at = table_at + i * 40;
        Section s;
        for (size_t k = 0; k < 8 && data_[at + k]; ++k) s.name += char(data_[at + k]);
        s.virtual_size = u32(data_, at + 8);
        s.virtual_address = u32(data_, at + 12);
        s.raw_size = u32(data_, at + 16);
        s.raw_offset = u32(data_, at + 20);
        if (s.raw_size && uint64_t(s.raw_offset) + s.raw_size > size)
            fail("section '" + s.name + "' data (" + hex(s.raw_offset) + " + " + hex(s.raw_size) +
                 ") lies beyond the end of the file (" + hex(uint32_t(size)) + " bytes)");
        sections_.push_back(s);
    }

    auto directory = [&](uint32_t index, uint32_t& rva, uint32_t& length) {
        rva = length = 0;
        if (index >= directory_count) return false;
        rva = u32(data_, optional_at + directories_at + index * 8);
        length = u32(data_, optional_at + directories_at + index * 8 + 4);
        return rva != 0 && length != 0;
    };
    uint32_t rva, length;
    if (directory(0, rva, length)) read_exports(rva, length);
    if (directory(1, rva, length)) read_imports(rva, length);
    if (directory(2, rva, length)) read_resources(rva, length);
}

uint32_t PeFile::file_offset(uint32_t rva, uint32_t size, const char* purpose) const
{
    for (const Section& s : sections_) {
        uint32_t span = std::max(s.virtual_size, s.raw_size);
        if (rva < s.virtual_address || rva - s.virtual_address >= span) continue;
        uint32_t inside = rva - s.virtual_address;
        if (uint64_t(inside) + size > s.raw_size)
            fail(std::string(purpose) + " at " + hex(rva) + " (" + std::to_string(size) +
                 " bytes) runs past the file data of section '" + s.name + "'");
        return s.raw_offset + inside;
    }
    fail(std::string(purpose) + " at " + hex(rva) + " lies in no section");
}

std::string PeFile::string_at(uint32_t rva, const char* purpose) const
{
    const uint32_t at = file_offset(rva, 1, purpose);
    // The string ends inside the file data of the section it starts in.
    uint32_t limit = at;
    for (const Section& s : sections_)
        if (at >= s.raw_offset && at - s.raw_offset < s.raw_size) limit = s.raw_offset + s.raw_size;
    std::string text;
    for (uint32_t p = at; p < limit && text.size() <= kMaxStringLength; ++p) {
        if (!data_[p]) return text;
        text += char(data_[p]);
    }
    fail(std::string(purpose) + " at " + hex(rva) + " has no end within its section");
}

void PeFile::read_exports(uint32_t rva, uint32_t /*size*/)
{
    const uint32_t at = file_offset(rva, 40, "export directory");
    export_module_name_ = string_at(u32(data_, at + 12), "export module name");
    const uint32_t name_count = u32(data_, at + 24);
    const uint32_t names_rva = u32(data_, at + 32);
    if (name_count > kMaxExports) fail("export directory claims " + std::to_string(name_count) + " names");
    if (name_count == 0) return;
    const uint32_t names_at = file_offset(names_rva, name_count * 4, "export name table");
    for (uint32_t i = 0; i < name_count; ++i) exports_.push_back(string_at(u32(data_, names_at + i * 4), "export name"));
}

void PeFile::read_imports(uint32_t rva, uint32_t /*size*/)
{
    for (uint32_t i = 0;; ++i) {
        if (i >= kMaxImports) fail("import directory has no end");
        const uint32_t at = file_offset(rva + i * 20, 20, "import directory");
        bool end = true;
        for (uint32_t k = 0; k < 20; ++k) end &= data_[at + k] == 0;
        if (end) break;
        imported_dlls_.push_back(string_at(u32(data_, at + 12), "imported DLL name"));
    }
}

void PeFile::read_resources(uint32_t rva, uint32_t size)
{
    // Offsets in the tree are relative to the start of the resource
    // directory; every one must lie inside the directory's stated size.
    const uint32_t base = file_offset(rva, size, "resource directory");
    std::set<uint32_t> visited;

    auto entries_of = [&](uint32_t offset, int level) {
        if (!visited.insert(offset).second)
            fail("resource directory loop (the table at offset " + hex(offset) + " is reached twice)");
        if (uint64_t(offset) + 16 > size)
            fail("resource table at offset " + hex(offset) + " lies outside the resource directory");
        const uint32_t count = uint32_t(u16(data_, base + offset + 12)) + u16(data_, base + offset + 14);
        if (uint64_t(offset) + 16 + uint64_t(count) * 8 > size)
            fail("resource table at offset " + hex(offset) + " (level " + std::to_string(level) + ", " +
                 std::to_string(count) + " entries) runs past the resource directory");
        std::vector<std::pair<uint32_t, uint32_t>> entries;  // (name word, data word)
        for (uint32_t i = 0; i < count; ++i) {
            const uint32_t at = base + offset + 16 + i * 8;
            entries.emplace_back(u32(data_, at), u32(data_, at + 4));
        }
        return entries;
    };
    auto subtable = [&](uint32_t word, int level) -> uint32_t {
        if (!(word & 0x80000000u))
            fail("resource tree has a data entry at level " + std::to_string(level) + " where a table belongs");
        return word & 0x7FFFFFFFu;
    };

    for (auto [type_word, type_data] : entries_of(0, 1)) {
        const uint32_t names = subtable(type_data, 1);
        for (auto [name_word, name_data] : entries_of(names, 2)) {
            const uint32_t languages = subtable(name_data, 2);
            bool first = true;
            for (auto [language_word, leaf] : entries_of(languages, 3)) {
                (void)language_word;
                if (leaf & 0x80000000u) fail("resource tree nested deeper than three levels");
                if (uint64_t(leaf) + 16 > size)
                    fail("resource data entry at offset " + hex(leaf) + " lies outside the resource directory");
                const uint32_t data_rva = u32(data_, base + leaf);
                const uint32_t data_size = u32(data_, base + leaf + 4);
                const uint32_t data_at = file_offset(data_rva, data_size, "resource data");
                // Named types and names are not used by gauge modules: they
                // are checked like the others but not kept.
                if (first && !(type_word & 0x80000000u) && !(name_word & 0x80000000u))
                    resources_[type_word][name_word] = DataRange{data_at, data_size};
                first = false;
            }
        }
    }
}

std::optional<std::span<const uint8_t>> PeFile::resource(uint32_t type, uint32_t id) const
{
    auto t = resources_.find(type);
    if (t == resources_.end()) return std::nullopt;
    auto r = t->second.find(id);
    if (r == t->second.end()) return std::nullopt;
    return std::span<const uint8_t>(data_.data() + r->second.offset, r->second.size);
}

std::vector<uint32_t> PeFile::resource_ids(uint32_t type) const
{
    std::vector<uint32_t> ids;
    auto t = resources_.find(type);
    if (t != resources_.end())
        for (const auto& [id, range] : t->second) ids.push_back(id);
    return ids;
}

}  // namespace gaugehost::pe
