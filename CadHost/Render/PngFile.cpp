#include "Render/PngFile.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

namespace CadHost::Render {
namespace {

struct FileCloser {
    void operator()(FILE* f) const {
        if (f != nullptr) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// libpng reports its errors by longjmp; the message is kept for ours.
void OnPngError(png_structp png, png_const_charp message) {
    auto* text = static_cast<std::string*>(png_get_error_ptr(png));
    if (text != nullptr) *text = message;
    png_longjmp(png, 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

}  // namespace

bool PngFile::Write(const Image& image, const std::string& path, std::string& error) {
    if (image.IsEmpty()) {
        error = "there is no picture to write to " + path;
        return false;
    }
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        error = "cannot create the picture file " + path;
        return false;
    }
    std::vector<png_byte> row(static_cast<size_t>(image.Width()) * 3);
    std::string pngMessage;
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &pngMessage, OnPngError, OnPngWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        error = "out of memory while writing " + path;
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        error = "cannot write the picture file " + path + ": " + pngMessage;
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.Width()),
                 static_cast<png_uint_32>(image.Height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    for (int y = 0; y < image.Height(); ++y) {
        const uint32_t* src = image.Row(y);
        for (int x = 0; x < image.Width(); ++x) {
            row[static_cast<size_t>(x) * 3] = KXPixelRed(src[x]);
            row[static_cast<size_t>(x) * 3 + 1] = KXPixelGreen(src[x]);
            row[static_cast<size_t>(x) * 3 + 2] = KXPixelBlue(src[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fflush(file.get()) != 0) {
        error = "cannot write the picture file " + path;
        return false;
    }
    return true;
}

bool PngFile::Read(const std::string& path, Image& image, std::string& error) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = "cannot open the picture file " + path;
        return false;
    }
    png_byte signature[8];
    if (std::fread(signature, 1, 8, file.get()) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
        error = path + " is not a PNG file";
        return false;
    }
    std::string pngMessage;
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &pngMessage, OnPngError, OnPngWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        error = "out of memory while reading " + path;
        return false;
    }
    // Everything that owns memory lives outside the longjmp range.
    std::vector<png_byte> row;
    Image result;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        error = "cannot read the picture file " + path + ": " + pngMessage;
        return false;
    }
    png_init_io(png, file.get());
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colourType = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    if (depth != 8 || (colourType != PNG_COLOR_TYPE_RGB && colourType != PNG_COLOR_TYPE_RGBA) ||
        width == 0 || height == 0 || width > kKXPixMapMaxSide || height > kKXPixMapMaxSide) {
        png_destroy_read_struct(&png, &info, nullptr);
        error = path + " is not an 8-bit RGB picture of a usable size";
        return false;
    }
    const size_t channels = colourType == PNG_COLOR_TYPE_RGBA ? 4 : 3;
    row.resize(static_cast<size_t>(width) * channels);
    result.Resize(static_cast<int>(width), static_cast<int>(height));
    for (png_uint_32 y = 0; y < height; ++y) {
        png_read_row(png, row.data(), nullptr);
        uint32_t* dst = result.Row(static_cast<int>(y));
        for (png_uint_32 x = 0; x < width; ++x) {
            const png_byte* p = &row[x * channels];
            dst[x] = KXPixel(p[0], p[1], p[2], channels == 4 ? p[3] : 0xFF);
        }
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    image = std::move(result);
    return true;
}

}  // namespace CadHost::Render
