#include "text.h"

#include <cstdio>
#include <mutex>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "host/format.h"

namespace gaugehost::render {

namespace {

constexpr const char* kFamily = "Liberation Mono";
constexpr const char* kFallbackPath = "/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf";

std::string find_font()
{
    std::string found;
    if (FcConfig* config = FcInitLoadConfigAndFonts()) {
        FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(kFamily));
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result;
        if (FcPattern* match = FcFontMatch(config, pattern, &result)) {
            FcChar8* family = nullptr;
            FcChar8* file = nullptr;
            if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
                FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
                std::string(reinterpret_cast<char*>(family)) == kFamily)
                found = reinterpret_cast<char*>(file);
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
        FcConfigDestroy(config);
    }
    if (found.empty()) {
        if (FILE* f = std::fopen(kFallbackPath, "rb")) {
            std::fclose(f);
            found = kFallbackPath;
        }
    }
    return found;
}

struct Font {
    std::mutex lock;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    std::string path;

    Font()
    {
        path = find_font();
        if (path.empty()) {
            std::fprintf(stderr, "gaugehost: font %s not found; string elements are not drawn\n", kFamily);
            return;
        }
        if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, path.c_str(), 0, &face) != 0) {
            std::fprintf(stderr, "gaugehost: cannot read font %s; string elements are not drawn\n", path.c_str());
            face = nullptr;
        }
    }
};

Font& font()
{
    static Font f;
    return f;
}

// Code points of a UTF-8 text.
std::u32string decode_utf8(const std::string& s)
{
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? c : extra == 1 ? c & 0x1F : extra == 2 ? c & 0x0F : c & 0x07;
        for (int k = 1; k <= extra && i + size_t(k) < s.size(); ++k)
            cp = cp << 6 | (static_cast<unsigned char>(s[i + size_t(k)]) & 0x3F);
        out.push_back(cp);
        i += size_t(extra) + 1;
    }
    return out;
}

}  // namespace

const std::string& monospace_font_path()
{
    return font().path;
}

Layer render_text(const std::string& text, int box_width, int box_height, int cell_height, Pixel foreground,
                  Pixel background)
{
    Layer layer(std::max(box_width, 0), std::max(box_height, 0), background);
    if (layer.empty() || cell_height <= 0 || cell_height > 4096) return layer;
    Font& f = font();
    std::lock_guard<std::mutex> guard(f.lock);
    if (!f.face) return layer;
    FT_Size_RequestRec request{};
    request.type = FT_SIZE_REQUEST_TYPE_CELL;
    request.height = FT_Long(cell_height) * 64;
    if (FT_Request_Size(f.face, &request) != 0) return layer;
    const FT_Size_Metrics& m = f.face->size->metrics;
    long ascent = (m.ascender + 32) >> 6, descent = (-m.descender + 32) >> 6;
    // Vertically centred: the cell's middle on the box's middle.
    long baseline = (box_height - (ascent + descent)) / 2 + ascent;
    long pen = 0;  // 26.6
    for (char32_t cp : decode_utf8(cp1252_to_utf8(text))) {
        if (FT_Load_Char(f.face, cp, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) continue;
        FT_GlyphSlot g = f.face->glyph;
        const FT_Bitmap& b = g->bitmap;
        long left = ((pen + 32) >> 6) + g->bitmap_left;
        long top = baseline - g->bitmap_top;
        if (b.pixel_mode == FT_PIXEL_MODE_GRAY) {
            for (unsigned row = 0; row < b.rows; ++row) {
                long y = top + long(row);
                if (y < 0 || y >= layer.height) continue;
                const unsigned char* in = b.buffer + long(row) * b.pitch;
                Pixel* out = layer.row(int(y));
                for (unsigned col = 0; col < b.width; ++col) {
                    long x = left + long(col);
                    if (x < 0 || x >= layer.width || in[col] == 0) continue;
                    out[x] = over(multiply(foreground, in[col]), out[x]);
                }
            }
        }
        pen += g->advance.x;
        if ((pen >> 6) > layer.width) break;
    }
    return layer;
}

}  // namespace gaugehost::render
