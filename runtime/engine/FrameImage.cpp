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

}  // namespace vxrt
