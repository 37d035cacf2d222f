#include "version.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "pe_file.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace gaugehost::pe {

namespace {

std::string dotted(uint32_t ms, uint32_t ls)
{
    return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." + std::to_string(ls >> 16) + "." +
           std::to_string(ls & 0xFFFF);
}

constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;

// One node of a version block: length, value length, type, key (UTF-16,
// zero-terminated), padding to 4 bytes, value, padding, children.
struct Node {
    std::string key;
    std::span<const uint8_t> value;
    bool text = false;
    std::span<const uint8_t> children;
};

class Reader {
public:
    Reader(std::span<const uint8_t> data, const std::string& what) : data_(data), what_(what) {}

    [[noreturn]] void fail(const std::string& why) const
    {
        throw PeError(what_ + ": malformed version resource: " + why);
    }

    uint16_t u16(size_t at) const { return uint16_t(data_[at] | data_[at + 1] << 8); }

    // Nodes laid one after another in data_[begin, end).
    std::vector<Node> nodes(size_t begin, size_t end, int depth) const
    {
        if (depth > 4) fail("nested too deep");
        std::vector<Node> list;
        size_t at = begin;
        while (at + 6 <= end) {
            const size_t length = u16(at);
            if (length < 6 || at + length > end) fail("block length " + std::to_string(length) + " does not fit");
            const size_t value_length = u16(at + 2);
            Node node;
            node.text = u16(at + 4) == 1;
            size_t p = at + 6;
            for (;;) {
                if (p + 2 > at + length) fail("key has no end");
                uint16_t c = u16(p);
                p += 2;
                if (!c) break;
                node.key += c < 0x80 ? char(c) : '?';
            }
            p = (p + 3) & ~size_t(3);
            const size_t value_bytes = node.text ? value_length * 2 : value_length;
            if (p + value_bytes > at + length) fail("value of '" + node.key + "' does not fit its block");
            node.value = data_.subspan(p, value_bytes);
            p = (p + value_bytes + 3) & ~size_t(3);
            if (p < at + length) node.children = data_.subspan(p, at + length - p);
            list.push_back(node);
            at = (at + length + 3) & ~size_t(3);
        }
        return list;
    }

    size_t offset_of(std::span<const uint8_t> part) const { return size_t(part.data() - data_.data()); }

private:
    std::span<const uint8_t> data_;
    const std::string& what_;
};

std::string utf16_text(std::span<const uint8_t> value)
{
    std::string text;
    for (size_t i = 0; i + 1 < value.size(); i += 2) {
        uint16_t c = uint16_t(value[i] | value[i + 1] << 8);
        if (!c) break;
        text += c < 0x80 ? char(c) : '?';
    }
    return text;
}

}  // namespace

VersionInfo parse_version_resource(std::span<const uint8_t> data, const std::string& what)
{
    Reader reader(data, what);
    auto roots = reader.nodes(0, data.size(), 0);
    if (roots.empty() || roots[0].key != "VS_VERSION_INFO") reader.fail("no VS_VERSION_INFO block");
    const Node& root = roots[0];
    if (root.value.size() < 52) reader.fail("no fixed file information");
    auto u32 = [&](size_t at) {
        return uint32_t(root.value[at]) | uint32_t(root.value[at + 1]) << 8 | uint32_t(root.value[at + 2]) << 16 |
               uint32_t(root.value[at + 3]) << 24;
    };
    if (u32(0) != kFixedInfoSignature) reader.fail("fixed file information has the wrong signature");
    VersionInfo info;
    info.file_version = dotted(u32(8), u32(12));
    info.product_version = dotted(u32(16), u32(20));

    if (root.children.empty()) return info;
    size_t begin = reader.offset_of(root.children);
    for (const Node& block : reader.nodes(begin, begin + root.children.size(), 1)) {
        if (block.key != "StringFileInfo" || block.children.empty()) continue;
        size_t tables_at = reader.offset_of(block.children);
        auto tables = reader.nodes(tables_at, tables_at + block.children.size(), 2);
        if (tables.empty() || tables[0].children.empty()) continue;
        size_t strings_at = reader.offset_of(tables[0].children);
        for (const Node& s : reader.nodes(strings_at, strings_at + tables[0].children.size(), 3))
            info.strings[s.key] = utf16_text(s.value);
        break;
    }
    return info;
}

#if defined(_WIN32)

std::optional<VersionInfo> read_version_info(const std::string& path)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<uint8_t> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data()))
        throw PeError(path + ": GetFileVersionInfo failed (error " + std::to_string(GetLastError()) + ")");

    VersionInfo info;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
        length < sizeof(VS_FIXEDFILEINFO) || fixed->dwSignature != kFixedInfoSignature)
        throw PeError(path + ": version resource has no fixed file information");
    info.file_version = dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    info.product_version = dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS);

    struct Translation {
        WORD language;
        WORD code_page;
    }* translations = nullptr;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                        &length) ||
        length < sizeof(Translation))
        return info;
    char table[64];
    std::snprintf(table, sizeof table, "\\StringFileInfo\\%04x%04x\\", translations[0].language,
                  translations[0].code_page);
    for (const char* key : {"CompanyName", "FileDescription", "FileVersion", "InternalName", "OriginalFilename",
                            "ProductName", "ProductVersion"}) {
        char* text = nullptr;
        if (VerQueryValueA(block.data(), (std::string(table) + key).c_str(), reinterpret_cast<void**>(&text),
                           &length) &&
            text)
            info.strings[key] = std::string(text, strnlen(text, length));
    }
    return info;
}

#else

std::optional<VersionInfo> read_version_info(const std::string& path)
{
    PeFile file = PeFile::open(path);
    auto data = file.resource(RESOURCE_VERSION, 1);
    if (!data) return std::nullopt;
    return parse_version_resource(*data, path);
}

#endif

}  // namespace gaugehost::pe
