#include "render_tool/png_writer.h"

#include <png.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <vector>

namespace mirelune::render_tool {
namespace {

// What one encoding run needs; libpng's error handler leaves its message here.
struct Encoding {
    std::FILE* file;
    const PixelRows* image;
    png_byte* row;  // room for one RGB row
    char error[256];
};

[[noreturn]] void onPngError(png_structp png, png_const_charp message) {
    auto* encoding = static_cast<Encoding*>(png_get_error_ptr(png));
    std::snprintf(encoding->error, sizeof encoding->error, "%s", message);
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

void toRgb(const std::uint32_t* pixels, int width, png_byte* rgb) {
    for (int x = 0; x < width; ++x) {
        rgb[3 * x] = static_cast<png_byte>(pixels[x] & 0xFF);
        rgb[3 * x + 1] = static_cast<png_byte>(pixels[x] >> 8 & 0xFF);
        rgb[3 * x + 2] = static_cast<png_byte>(pixels[x] >> 16 & 0xFF);
    }
}

// libpng reports errors by longjmp back into this function, so it holds nothing that needs
// a destructor: the row buffer and the file belong to the caller.
bool encode(Encoding& encoding) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &encoding, onPngError, onPngWarning);
    if (png == nullptr) {
        std::snprintf(encoding.error, sizeof encoding.error, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        std::snprintf(encoding.error, sizeof encoding.error, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    const PixelRows& image = *encoding.image;
    png_init_io(png, encoding.file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        toRgb(image.pixels + static_cast<std::ptrdiff_t>(y) * image.stride, image.width,
              encoding.row);
        png_write_row(png, encoding.row);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

// Encodes into an open file and closes it.
std::optional<std::string> encodeAndClose(std::FILE* file, const PixelRows& image) {
    std::vector<png_byte> row(static_cast<std::size_t>(image.width) * 3);
    Encoding encoding{file, &image, row.data(), {}};
    const bool encoded = encode(encoding);
    const bool closed = std::fclose(file) == 0;
    const int closeError = errno;
    if (!encoded) {
        return std::string(encoding.error);
    }
    if (!closed) {
        return std::strerror(closeError);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> writePng(const std::filesystem::path& path, const PixelRows& image) {
    if (image.pixels == nullptr || image.width < 1 || image.height < 1 ||
        image.stride < image.width) {
        return "cannot write '" + path.string() + "': empty or malformed image";
    }
    std::filesystem::path temporary = path;
    temporary += ".part";
    std::FILE* file = std::fopen(temporary.string().c_str(), "wb");
    if (file == nullptr) {
        return "cannot create '" + temporary.string() + "': " + std::strerror(errno);
    }
    std::error_code ignored;
    if (auto error = encodeAndClose(file, image)) {
        std::filesystem::remove(temporary, ignored);
        return "cannot write '" + path.string() + "': " + *error;
    }
    std::error_code renameError;
    std::filesystem::rename(temporary, path, renameError);
    if (renameError) {
        std::filesystem::remove(temporary, ignored);
        return "cannot write '" + path.string() + "': " + renameError.message();
    }
    return std::nullopt;
}

}  // namespace mirelune::render_tool
