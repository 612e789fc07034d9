#include "ui/images/UiImage.h"

#include "ui/images/GdiHandles.h"

#include <atomic>
#include <cstring>
#include <utility>

namespace SkinUI {

namespace {

std::atomic<int> g_liveImages{0};

// Memory device contexts are expensive to create and images ask for one on
// every update of the shadow, so up to four released ones are kept.
constexpr int kDCCacheSlots = 4;
std::atomic<HDC> g_dcCache[kDCCacheSlots];

HDC TakeCachedDC()
{
    for (auto& slot : g_dcCache) {
        HDC hdc = slot.exchange(nullptr);
        if (hdc) return hdc;
    }
    return ::CreateCompatibleDC(nullptr);
}

void ReturnCachedDC(HDC hdc)
{
    for (auto& slot : g_dcCache) {
        HDC expected = nullptr;
        if (slot.compare_exchange_strong(expected, hdc)) return;
    }
    Gdi::CreatedDC surplus(hdc);
}

}  // namespace

CUiImage::CUiImage() = default;

CUiImage::~CUiImage() { Destroy(); }

int CUiImage::GetLiveImageCount() { return g_liveImages.load(); }

void CUiImage::ClearDCCache()
{
    for (auto& slot : g_dcCache) {
        Gdi::CreatedDC cached(slot.exchange(nullptr));
    }
}

bool CUiImage::Create(int width, int height, int bpp, DWORD flags)
{
    return CreateEx(width, height, bpp, BI_RGB, nullptr, flags);
}

bool CUiImage::CreateEmptyImage(int width, int height, int bpp, DWORD compression, HDC)
{
    Destroy();
    return CreateEx(width, height, bpp, compression, nullptr, 0);
}

bool CUiImage::CreateEx(int width, int height, int bpp, DWORD compression, const DWORD* bitmasks, DWORD)
{
    Destroy();
    if (width <= 0 || height == 0) return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
    if (compression != BI_RGB && compression != BI_BITFIELDS) return false;
    if (compression == BI_BITFIELDS && (bpp != 16 && bpp != 32)) return false;

    // Header, three bit masks or a 256-entry colour table.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info;
    std::memset(&info, 0, sizeof(info));
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bpp);
    info.header.biCompression = compression;
    if (compression == BI_BITFIELDS) {
        DWORD masks[3];
        if (bitmasks) {
            std::memcpy(masks, bitmasks, sizeof(masks));
        } else if (bpp == 16) {
            masks[0] = 0x7C00;
            masks[1] = 0x03E0;
            masks[2] = 0x001F;
        } else {
            masks[0] = 0xFF0000;
            masks[1] = 0x00FF00;
            masks[2] = 0x0000FF;
        }
        std::memcpy(info.colors, masks, sizeof(masks));
    } else if (bpp <= 8) {
        int count = 1 << bpp;
        info.header.biClrUsed = count;
        PALETTEENTRY entries[256] = {};
        HPALETTE palette = static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE));
        UINT got = ::GetPaletteEntries(palette, 0, count, entries);
        for (int i = 0; i < count; ++i) {
            if (static_cast<UINT>(i) < got) {
                info.colors[i].rgbRed = entries[i].peRed;
                info.colors[i].rgbGreen = entries[i].peGreen;
                info.colors[i].rgbBlue = entries[i].peBlue;
            } else {
                // Grey ramp beyond the palette's entries.
                BYTE grey = static_cast<BYTE>(i * 255 / (count - 1));
                info.colors[i].rgbRed = info.colors[i].rgbGreen = info.colors[i].rgbBlue = grey;
            }
        }
    }

    void* bits = nullptr;
    Gdi::Bitmap bitmap(
        ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return false;
    ++g_liveImages;
    UpdateBitmapInfo(std::move(bitmap), height < 0);
    return true;
}

void CUiImage::UpdateBitmapInfo(Gdi::Bitmap bitmap, bool topDown)
{
    m_hBitmap = std::move(bitmap);
    DIBSECTION section;
    if (::GetObject(m_hBitmap, sizeof(section), &section) == sizeof(section)) {
        m_bIsDIBSection = true;
        m_nWidth = section.dsBm.bmWidth;
        m_nHeight = section.dsBm.bmHeight < 0 ? -section.dsBm.bmHeight : section.dsBm.bmHeight;
        m_nBPP = section.dsBm.bmBitsPixel;
        int stride = ((m_nWidth * m_nBPP + 31) / 32) * 4;
        BYTE* base = static_cast<BYTE*>(section.dsBm.bmBits);
        topDown = topDown || section.dsBmih.biHeight < 0;
        if (topDown) {
            m_nPitch = stride;
            m_pBits = base;
        } else {
            m_nPitch = -stride;
            m_pBits = base ? base + static_cast<size_t>(stride) * (m_nHeight - 1) : nullptr;
        }
    } else {
        BITMAP bm;
        ::GetObject(m_hBitmap, sizeof(bm), &bm);
        m_bIsDIBSection = false;
        m_nWidth = bm.bmWidth;
        m_nHeight = bm.bmHeight;
        m_nBPP = bm.bmBitsPixel;
        m_nPitch = bm.bmWidthBytes;
        m_pBits = nullptr;
    }
    m_bHasAlphaChannel = m_nBPP == 32;
}

void CUiImage::Attach(HBITMAP bitmap)
{
    Destroy();
    if (!bitmap) return;
    ++g_liveImages;
    UpdateBitmapInfo(Gdi::Bitmap(bitmap), false);
}

HBITMAP CUiImage::Detach()
{
    if (!m_hBitmap) return nullptr;
    while (m_nDCRefCount > 0) ReleaseDC();
    --g_liveImages;
    HBITMAP bitmap = m_hBitmap.Release();
    m_pBits = nullptr;
    m_nWidth = m_nHeight = m_nPitch = m_nBPP = 0;
    m_bIsDIBSection = m_bHasAlphaChannel = false;
    m_clrTransparent = static_cast<COLORREF>(-1);
    return bitmap;
}

void CUiImage::Destroy() { Gdi::Bitmap destroyed(Detach()); }

HDC CUiImage::GetDC() const
{
    if (!m_hBitmap) return nullptr;
    if (m_nDCRefCount++ == 0) {
        m_hDC = TakeCachedDC();
        if (!m_hDC) {
            m_nDCRefCount = 0;
            return nullptr;
        }
        m_hOldBitmap = static_cast<HBITMAP>(::SelectObject(m_hDC, m_hBitmap));
    }
    return m_hDC;
}

void CUiImage::ReleaseDC() const
{
    if (m_nDCRefCount <= 0) return;
    if (--m_nDCRefCount == 0) {
        ::SelectObject(m_hDC, m_hOldBitmap);
        ReturnCachedDC(m_hDC);
        m_hDC = nullptr;
        m_hOldBitmap = nullptr;
    }
}

void* CUiImage::GetPixelAddress(int x, int y)
{
    if (!m_pBits || x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return nullptr;
    return static_cast<BYTE*>(m_pBits) + static_cast<ptrdiff_t>(y) * m_nPitch + (x * m_nBPP) / 8;
}

BOOL CUiImage::BitBlt(HDC hDestDC, int xDest, int yDest, DWORD rop) const
{
    HDC src = GetDC();
    if (!src) return FALSE;
    BOOL ok = ::BitBlt(hDestDC, xDest, yDest, m_nWidth, m_nHeight, src, 0, 0, rop);
    ReleaseDC();
    return ok;
}

BOOL CUiImage::AlphaBlend(HDC hDestDC, int xDest, int yDest, BYTE srcAlpha) const
{
    HDC src = GetDC();
    if (!src) return FALSE;
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, srcAlpha, static_cast<BYTE>(m_bHasAlphaChannel ? AC_SRC_ALPHA : 0)};
    BOOL ok = ::AlphaBlend(hDestDC, xDest, yDest, m_nWidth, m_nHeight, src, 0, 0, m_nWidth, m_nHeight, blend);
    ReleaseDC();
    return ok;
}

}  // namespace SkinUI
