// PNG files, compositing and scaling of whole pictures.
#include <stdexcept>

#include <png.h>

#include "pixels.h"
#include "renderer.h"

namespace gaugehost {

void composite_over(Image& target, const Image& source, int x, int y)
{
    composite_over(target, source, x, y, {0, 0, source.width, source.height});
}

void composite_over(Image& target, const Image& source, int x, int y, const Rect& region)
{
    Rect part = render::intersect(region, {0, 0, source.width, source.height});
    Rect r = render::intersect({x + part.x, y + part.y, part.width, part.height}, {0, 0, target.width, target.height});
    for (int row = r.y; row < r.y + r.height; ++row) {
        const Rgba* in = &source.at(0, row - y);
        Rgba* out = &target.at(0, row);
        for (int col = r.x; col < r.x + r.width; ++col) {
            Rgba s = in[col - x];
            if (s.a == 0) continue;
            Rgba& d = out[col];
            if (s.a == 255 || d.a == 0) {
                d = s;
                continue;
            }
            render::Pixel p = render::over(render::premultiply(s), render::premultiply(d));
            d = render::unpremultiply(p);
        }
    }
}

Image scale_image(const Image& source, int width, int height)
{
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
        throw std::invalid_argument("impossible picture size " + std::to_string(width) + "x" + std::to_string(height));
    Image out(width, height);
    if (source.empty()) return out;
    render::Layer in = render::to_layer(source);
    render::Layer scaled(width, height);
    render::resample(in, scaled, {0, 0, width, height});
    render::to_image(scaled, out, {0, 0, width, height});
    return out;
}

void write_png(const Image& image, const std::string& path)
{
    if (image.empty()) throw std::runtime_error(path + ": cannot write an empty picture");
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(image.width);
    png.height = png_uint_32(image.height);
    png.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&png, path.c_str(), 0, image.pixels.data(), 0, nullptr))
        throw std::runtime_error(path + ": cannot write PNG (" + png.message + ")");
}

Image read_png(const std::string& path)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str()))
        throw std::runtime_error(path + ": cannot read PNG (" + png.message + ")");
    if (png.width == 0 || png.height == 0 || png.width > 16384 || png.height > 16384) {
        png_image_free(&png);
        throw std::runtime_error(path + ": impossible picture size");
    }
    png.format = PNG_FORMAT_RGBA;
    Image out(int(png.width), int(png.height));
    if (!png_image_finish_read(&png, nullptr, out.pixels.data(), 0, nullptr))
        throw std::runtime_error(path + ": cannot read PNG (" + png.message + ")");
    return out;
}

}  // namespace gaugehost
