#include "runtime/engine/FrameImage.h"

// The decoder's symbols stay private to this file, so another copy of the
// same header-only decoder elsewhere in the program cannot clash with it.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmisleading-indentation"
#pragma GCC diagnostic ignored "-Wsign-compare"
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

#include <algorithm>
#include <cstring>

namespace vxrt {

bool DecodeBase64(const std::string& in, std::string& out)
{
    // Built once under the language's guarded initialisation: frames are
    // decoded on the engine's reader thread, possibly beside another caller.
    struct Table {
        signed char value[256];
        Table()
        {
            for (int i = 0; i < 256; ++i) value[i] = -1;
            const char* a = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
            for (int i = 0; i < 64; ++i) value[static_cast<unsigned char>(a[i])] = static_cast<signed char>(i);
        }
    };
    static const Table table;
    out.clear();
    out.reserve(in.size() / 4 * 3);
    unsigned acc = 0;
    int bits = 0;
    for (unsigned char c : in) {
        if (c == '=') break;
        if (c == '\n' || c == '\r') continue;
        int v = table.value[c];
        if (v < 0) return false;
        acc = (acc << 6) | static_cast<unsigned>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((acc >> bits) & 0xFF);
        }
    }
    return true;
}

bool DecodeFrameImage(const std::string& base64, FrameImage& out)
{
    std::string bytes;
    if (!DecodeBase64(base64, bytes) || bytes.empty() || bytes.size() > 0x7FFFFFFF) return false;
    int w = 0, h = 0, n = 0;
    unsigned char* rgba = stbi_load_from_memory(reinterpret_cast<const unsigned char*>(bytes.data()),
                                                static_cast<int>(bytes.size()), &w, &h, &n, 4);
    if (!rgba) return false;
    if (w <= 0 || h <= 0 || w > 16384 || h > 16384) {
        stbi_image_free(rgba);
        return false;
    }
    out.width = w;
    out.height = h;
    out.pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    const unsigned char* p = rgba;
    for (auto& px : out.pixels) {
        px = (static_cast<uint32_t>(p[0]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[2];
        p += 4;
    }
    stbi_image_free(rgba);
    return true;
}

PixelBox ChangedBox(const FrameImage& before, const FrameImage& after)
{
    PixelBox box;
    const int w = before.width, h = before.height;
    if (w <= 0 || h <= 0 || w != after.width || h != after.height) return box;
    if (before.pixels.size() != static_cast<size_t>(w) * h || after.pixels.size() != before.pixels.size()) return box;
    box.left = w;
    box.top = h;
    for (int y = 0; y < h; ++y) {
        const uint32_t* a = &before.pixels[static_cast<size_t>(y) * w];
        const uint32_t* b = &after.pixels[static_cast<size_t>(y) * w];
        if (std::memcmp(a, b, sizeof(uint32_t) * w) == 0) continue;
        int first = 0, last = w - 1;
        while (a[first] == b[first]) ++first;
        while (a[last] == b[last]) --last;
        box.left = std::min(box.left, first);
        box.right = std::max(box.right, last + 1);
        if (box.top > y) box.top = y;
        box.bottom = y + 1;
    }
    if (box.Empty()) box = PixelBox();
    return box;
}

PixelBox Union(const PixelBox& a, const PixelBox& b)
{
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    PixelBox u;
    u.left = std::min(a.left, b.left);
    u.top = std::min(a.top, b.top);
    u.right = std::max(a.right, b.right);
    u.bottom = std::max(a.bottom, b.bottom);
    return u;
}

void KeepTopLeft(FrameImage& picture, int width, int height)
{
    if (width >= picture.width && height >= picture.height) return;
    width = std::max(0, std::min(width, picture.width));
    height = std::max(0, std::min(height, picture.height));
    FrameImage kept;
    kept.width = width;
    kept.height = height;
    kept.pixels.resize(static_cast<size_t>(width) * height);
    for (int row = 0; row < height && width > 0; ++row)
        std::memcpy(&kept.pixels[static_cast<size_t>(row) * width], &picture.pixels[static_cast<size_t>(row) * picture.width],
                    sizeof(uint32_t) * width);
    picture = std::move(kept);
}

bool PastePart(FrameImage& picture, int x, int y, const FrameImage& part)
{
    if (x < 0 || y < 0 || part.width <= 0 || part.height <= 0) return false;
    if (part.width > picture.width - x || part.height > picture.height - y) return false;
    if (part.pixels.size() != static_cast<size_t>(part.width) * part.height ||
        picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height)
        return false;
    for (int row = 0; row < part.height; ++row)
        std::memcpy(&picture.pixels[static_cast<size_t>(y + row) * picture.width + x],
                    &part.pixels[static_cast<size_t>(row) * part.width], sizeof(uint32_t) * part.width);
    return true;
}

}  // namespace vxrt
