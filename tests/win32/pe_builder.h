// A tiny 32-bit DLL image written byte by byte, so that the PE reader's
// tests know every offset and can break any of them on purpose.
//
// Layout: DOS header, PE header with a PE32 optional header, two sections:
// .rdata (export directory naming ImportTable and Linkage, one import of
// KERNEL32.dll) and .rsrc (a resource tree type -> number -> language with
// the resources given).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace orvane_test {

struct PeResource {
    uint32_t type;
    uint32_t id;
    std::vector<uint8_t> data;
};

class PeBuilder {
public:
    // Offsets in the built image, for tests that break them.
    static constexpr uint32_t kPeHeader = 0x40;
    static constexpr uint32_t kOptionalHeader = kPeHeader + 24;
    static constexpr uint32_t kOptionalSize = 0xE0;
    static constexpr uint32_t kSectionTable = kOptionalHeader + kOptionalSize;
    static constexpr uint32_t kRdataRaw = 0x200, kRdataRva = 0x1000, kRdataSize = 0x200;
    static constexpr uint32_t kRsrcRaw = 0x400, kRsrcRva = 0x2000;
    static constexpr uint32_t kExportDir = kRdataRaw;          // 40 bytes
    static constexpr uint32_t kImportDir = kRdataRaw + 0x80;   // 2 descriptors
    static constexpr uint32_t kStrings = kRdataRaw + 0x100;

    std::vector<PeResource> resources;

    // Where the parts of the resource tree landed (offsets in the file).
    uint32_t rsrc_size = 0;
    std::vector<uint32_t> type_entries;      // root entries, one per type
    std::vector<uint32_t> name_tables;       // level-2 tables, one per type
    std::vector<uint32_t> language_entries;  // level-3 entries, one per resource
    std::vector<uint32_t> data_entries;      // data entries, one per resource

    std::vector<uint8_t> build()
    {
        std::vector<uint8_t> tree = resource_tree();
        rsrc_size = uint32_t(tree.size());
        const uint32_t rsrc_raw_size = (rsrc_size + 0x1FF) & ~0x1FFu;
        std::vector<uint8_t> f(kRsrcRaw + rsrc_raw_size, 0);
        f[0] = 'M', f[1] = 'Z';
        put32(f, 0x3C, kPeHeader);
        put32(f, kPeHeader, 0x00004550);
        put16(f, kPeHeader + 4, 0x14C);  // i386
        put16(f, kPeHeader + 6, 2);      // sections
        put16(f, kPeHeader + 20, kOptionalSize);
        put16(f, kPeHeader + 22, 0x2102);  // DLL, 32-bit, executable
        const uint32_t o = kOptionalHeader;
        put16(f, o, 0x10B);
        put32(f, o + 92, 16);  // data directories
        put32(f, o + 96 + 0 * 8, kRdataRva);  // exports
        put32(f, o + 96 + 0 * 8 + 4, 40);
        put32(f, o + 96 + 1 * 8, kRdataRva + 0x80);  // imports
        put32(f, o + 96 + 1 * 8 + 4, 40);
        put32(f, o + 96 + 2 * 8, kRsrcRva);  // resources
        put32(f, o + 96 + 2 * 8 + 4, rsrc_size);
        section(f, 0, ".rdata", kRdataRva, kRdataSize, kRdataRaw, kRdataSize);
        section(f, 1, ".rsrc", kRsrcRva, rsrc_size, kRsrcRaw, rsrc_raw_size);

        // Strings at the end of .rdata.
        uint32_t at = kStrings;
        auto string = [&](const char* s) {
            uint32_t rva = kRdataRva + (at - kRdataRaw);
            std::memcpy(&f[at], s, std::strlen(s) + 1);
            at += uint32_t(std::strlen(s)) + 1;
            return rva;
        };
        const uint32_t module_name = string("Fixture.gau");
        const uint32_t names[2] = {string("ImportTable"), string("Linkage")};
        const uint32_t kernel = string("KERNEL32.dll");
        const uint32_t name_table = kRdataRva + 0x40;
        put32(f, kExportDir + 12, module_name);
        put32(f, kExportDir + 16, 1);  // ordinal base
        put32(f, kExportDir + 20, 2);  // functions
        put32(f, kExportDir + 24, 2);  // names
        put32(f, kExportDir + 32, name_table);
        put32(f, kRdataRaw + 0x40, names[0]);
        put32(f, kRdataRaw + 0x44, names[1]);
        put32(f, kImportDir + 12, kernel);

        std::memcpy(&f[kRsrcRaw], tree.data(), tree.size());
        return f;
    }

    static void put16(std::vector<uint8_t>& f, size_t at, uint32_t v)
    {
        f[at] = uint8_t(v), f[at + 1] = uint8_t(v >> 8);
    }
    static void put32(std::vector<uint8_t>& f, size_t at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i) f[at + size_t(i)] = uint8_t(v >> (8 * i));
    }

private:
    static void section(std::vector<uint8_t>& f, int index, const char* name, uint32_t rva, uint32_t vsize,
                        uint32_t raw, uint32_t raw_size)
    {
        const size_t at = kSectionTable + size_t(index) * 40;
        std::memcpy(&f[at], name, std::strlen(name));
        put32(f, at + 8, vsize);
        put32(f, at + 12, rva);
        put32(f, at + 16, raw_size);
        put32(f, at + 20, raw);
    }

    // The tree: root table, one name table per type, one language table
    // per resource, the data entries, then the data.
    std::vector<uint8_t> resource_tree()
    {
        std::vector<uint32_t> types;
        for (const auto& r : resources)
            if (types.empty() || types.back() != r.type) types.push_back(r.type);
        const uint32_t root_size = 16 + 8 * uint32_t(types.size());
        uint32_t at = root_size;
        std::vector<uint32_t> name_table_at;
        for (uint32_t t : types) {
            name_table_at.push_back(at);
            uint32_t n = 0;
            for (const auto& r : resources) n += r.type == t;
            at += 16 + 8 * n;
        }
        std::vector<uint32_t> language_table_at, data_entry_at, data_at;
        for (size_t i = 0; i < resources.size(); ++i) language_table_at.push_back(at), at += 24;
        for (size_t i = 0; i < resources.size(); ++i) data_entry_at.push_back(at), at += 16;
        for (const auto& r : resources) data_at.push_back(at), at += (uint32_t(r.data.size()) + 3) & ~3u;

        std::vector<uint8_t> t(at, 0);
        put16(t, 14, uint32_t(types.size()));
        type_entries.clear(), name_tables.clear(), language_entries.clear(), data_entries.clear();
        for (size_t k = 0; k < types.size(); ++k) {
            put32(t, 16 + 8 * k, types[k]);
            put32(t, 16 + 8 * k + 4, 0x80000000u | name_table_at[k]);
            type_entries.push_back(kRsrcRaw + 16 + 8 * uint32_t(k));
            name_tables.push_back(kRsrcRaw + name_table_at[k]);
            uint32_t n = 0;
            for (size_t i = 0; i < resources.size(); ++i) {
                if (resources[i].type != types[k]) continue;
                const uint32_t e = name_table_at[k] + 16 + 8 * n++;
                put32(t, e, resources[i].id);
                put32(t, e + 4, 0x80000000u | language_table_at[i]);
            }
            put16(t, name_table_at[k] + 14, n);
        }
        for (size_t i = 0; i < resources.size(); ++i) {
            put16(t, language_table_at[i] + 14, 1);
            put32(t, language_table_at[i] + 16, 0x409);
            put32(t, language_table_at[i] + 20, data_entry_at[i]);
            language_entries.push_back(kRsrcRaw + language_table_at[i] + 16);
            data_entries.push_back(kRsrcRaw + data_entry_at[i]);
            put32(t, data_entry_at[i], kRsrcRva + data_at[i]);
            put32(t, data_entry_at[i] + 4, uint32_t(resources[i].data.size()));
            std::memcpy(&t[data_at[i]], resources[i].data.data(), resources[i].data.size());
        }
        return t;
    }
};

}  // namespace orvane_test
