#include "png_encode.h"

#include <stdexcept>

#include <png.h>

namespace gaugehost::web {

namespace {

void append(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), length);
}

void flush(png_structp) {}

}  // namespace

std::string encode_png(const Image& image, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0 || x < 0 || y < 0 || x + width > image.width || y + height > image.height)
        throw std::invalid_argument("encode_png: part outside the picture");
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) throw std::runtime_error("encode_png: out of memory");
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("encode_png: libpng failed");
    }
    png_set_write_fn(png, &out, append, flush);
    // Speed over size: the pictures are small and local.
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int row = y; row < y + height; ++row) {
        auto* p = reinterpret_cast<png_bytep>(const_cast<Rgba*>(&image.at(x, row)));
        png_write_row(png, p);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::string base64(const std::string& bytes)
{
    static const char table[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        uint32_t v = uint32_t(uint8_t(bytes[i])) << 16 | uint32_t(uint8_t(bytes[i + 1])) << 8 | uint8_t(bytes[i + 2]);
        out += table[v >> 18 & 63];
        out += table[v >> 12 & 63];
        out += table[v >> 6 & 63];
        out += table[v & 63];
    }
    if (i < bytes.size()) {
        uint32_t v = uint32_t(uint8_t(bytes[i])) << 16;
        if (i + 1 < bytes.size()) v |= uint32_t(uint8_t(bytes[i + 1])) << 8;
        out += table[v >> 18 & 63];
        out += table[v >> 12 & 63];
        out += i + 1 < bytes.size() ? table[v >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

}  // namespace gaugehost::web
