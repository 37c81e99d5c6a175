// PNG for the browser build, which has no libpng: the single-header stb decoder and
// encoder behind the same two functions the core declares.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "io/ScrambledFile.h"

#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#if defined(__clang__) || defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#endif
#include <stb_image.h>
#include <stb_image_write.h>
#if defined(__clang__) || defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace quorvel {

namespace {

// The same limits as the libpng reader: a header claiming more is a broken file.
constexpr int maxPictureSide = 16384;
constexpr uint64_t maxPicturePixels = 32ull * 1024 * 1024;

struct StbFree {
    void operator()(unsigned char* pixels) const { stbi_image_free(pixels); }
};

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

bool decodePng(const std::vector<unsigned char>& bytes, Bitmap& picture) {
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT32_MAX)) return false;
    const auto* data = bytes.data();
    const int size = static_cast<int>(bytes.size());
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(data, size, &width, &height, &channels)) return false;
    if (width <= 0 || height <= 0 || width > maxPictureSide || height > maxPictureSide ||
        static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > maxPicturePixels) {
        return false;
    }
    // Four channels, so a picture with transparency is laid on white as libpng does.
    std::unique_ptr<unsigned char, StbFree> pixels(
        stbi_load_from_memory(data, size, &width, &height, &channels, 4));
    if (!pixels) return false;
    Bitmap decoded(width, height);
    const unsigned char* in = pixels.get();
    for (int y = 0; y < height; ++y) {
        uint8_t* out = decoded.row(y);
        for (int x = 0; x < width; ++x, in += 4, out += 3) {
            const unsigned alpha = in[3];
            for (int c = 0; c < 3; ++c) {
                out[c] =
                    static_cast<uint8_t>((in[c] * alpha + 255u * (255u - alpha) + 127u) / 255u);
            }
        }
    }
    picture = std::move(decoded);
    return true;
}

bool savePng(const std::string& path, const Bitmap& picture) {
    if (picture.empty()) return false;
    std::vector<unsigned char> bytes;
    if (!stbi_write_png_to_func(appendBytes, &bytes, picture.width(), picture.height(), 3,
                                picture.data(), picture.stride())) {
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace quorvel
