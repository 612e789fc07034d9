#pragma once
// Test helpers: a 32-bit DIB section to draw into and read back, and a tiny
// PNG writer so that decoding tests can state their pixels inline.

#include "ui/images/GdiHandles.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace SkinUI {
namespace Test {

class Canvas {
public:
    Canvas(int width, int height, DWORD fill = 0xFFFFFFFF) : m_dc(nullptr)
    {
        m_dib.Create(width, height);
        m_old = ::SelectObject(m_dc, m_dib.bitmap);
        Fill(fill);
    }
    ~Canvas() { ::SelectObject(m_dc, m_old); }

    HDC dc() const { return m_dc; }
    int width() const { return m_dib.width; }
    int height() const { return m_dib.height; }
    // 0xAARRGGBB as stored (premultiplied when the alpha byte is used).
    DWORD At(int x, int y) const
    {
        ::GdiFlush();
        return m_dib.bits[y * m_dib.width + x];
    }
    DWORD Rgb(int x, int y) const { return At(x, y) & 0x00FFFFFF; }
    void Fill(DWORD argb)
    {
        ::GdiFlush();
        for (int i = 0; i < m_dib.width * m_dib.height; ++i) m_dib.bits[i] = argb;
    }
    DWORD* Bits() { return m_dib.bits; }
    // Bounding box of pixels whose colour differs from `background`.
    RECT Changed(DWORD background) const
    {
        RECT box = {m_dib.width, m_dib.height, -1, -1};
        for (int y = 0; y < m_dib.height; ++y)
            for (int x = 0; x < m_dib.width; ++x)
                if (Rgb(x, y) != (background & 0x00FFFFFF)) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return box;
    }
    int Count(DWORD rgb) const
    {
        int n = 0;
        for (int y = 0; y < m_dib.height; ++y)
            for (int x = 0; x < m_dib.width; ++x)
                if (Rgb(x, y) == rgb) ++n;
        return n;
    }

private:
    Gdi::MemoryDC m_dc;
    Gdi::Dib32 m_dib;
    HGDIOBJ m_old;
};

// A 32-bit DIB section the caller owns, filled by a function of (x, y).
template <typename Fn>
HBITMAP MakeBitmap(int width, int height, Fn pixel)
{
    Gdi::Dib32 dib;
    if (!dib.Create(width, height)) return nullptr;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) dib.bits[y * width + x] = pixel(x, y);
    return dib.bitmap.Release();
}

inline void PutBig32(std::string& out, uint32_t v)
{
    out += static_cast<char>(v >> 24);
    out += static_cast<char>(v >> 16);
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v);
}

inline void PutChunk(std::string& out, const char* type, const std::string& data)
{
    PutBig32(out, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    PutBig32(out, static_cast<uint32_t>(
                      crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

// RGBA pixels, row by row, as an 8-bit RGBA PNG file.
inline std::string EncodePng(int width, int height, const std::vector<uint32_t>& rgba /* 0xRRGGBBAA */)
{
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        for (int x = 0; x < width; ++x) {
            uint32_t p = rgba[y * width + x];
            raw += static_cast<char>(p >> 24);
            raw += static_cast<char>(p >> 16);
            raw += static_cast<char>(p >> 8);
            raw += static_cast<char>(p);
        }
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &size, reinterpret_cast<const Bytef*>(raw.data()),
             static_cast<uLong>(raw.size()));
    packed.resize(size);

    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    PutBig32(header, static_cast<uint32_t>(width));
    PutBig32(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x06\x00\x00\x00", 5);
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", std::string());
    return png;
}

}  // namespace Test
}  // namespace SkinUI
