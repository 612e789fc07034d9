#pragma once
// A DIB-section image with direct pixel access, used where the framework
// composes pixels itself (the window shadow). Row 0 is always the top row:
// GetBits points at it and GetPitch is negative for bottom-up images.

#include "ui/base/Platform.h"
#include "ui/images/GdiHandles.h"

namespace SkinUI {

struct Image9Region;

class CUiImage {
public:
    CUiImage();
    ~CUiImage();
    CUiImage(const CUiImage&) = delete;
    CUiImage& operator=(const CUiImage&) = delete;

    // Creates a DIB section; a negative height gives a top-down image.
    // Palettised depths (<= 8 bpp) get the system palette as colour table.
    bool Create(int width, int height, int bpp, DWORD flags = 0);
    bool CreateEx(int width, int height, int bpp, DWORD compression, const DWORD* bitmasks = nullptr, DWORD flags = 0);
    // Destroys any previous bitmap first. `target` is accepted for
    // compatibility and ignored: the DIB section is device independent.
    bool CreateEmptyImage(int width, int height, int bpp, DWORD compression = BI_RGB, HDC target = nullptr);

    void Attach(HBITMAP bitmap);
    HBITMAP Detach();
    void Destroy();

    // A memory device context with the bitmap selected; nested calls share
    // it. Every GetDC needs one ReleaseDC.
    HDC GetDC() const;
    void ReleaseDC() const;

    bool IsNull() const { return !m_hBitmap; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetPitch() const { return m_nPitch; }
    int GetBPP() const { return m_nBPP; }
    bool IsDIBSection() const { return m_bIsDIBSection; }
    bool HasAlphaChannel() const { return m_bHasAlphaChannel; }
    void* GetBits() { return m_pBits; }
    const void* GetBits() const { return m_pBits; }
    void* GetPixelAddress(int x, int y);
    COLORREF GetTransparentColor() const { return m_clrTransparent; }
    operator HBITMAP() const { return m_hBitmap; }

    BOOL BitBlt(HDC hDestDC, int xDest, int yDest, DWORD rop = SRCCOPY) const;
    BOOL AlphaBlend(HDC hDestDC, int xDest, int yDest, BYTE srcAlpha = 0xFF) const;

    // Number of live images in the process (bitmaps held by CUiImage objects).
    static int GetLiveImageCount();
    // Deletes the cached device contexts (at shutdown, or in leak tests).
    static void ClearDCCache();

private:
    void UpdateBitmapInfo(Gdi::Bitmap bitmap, bool topDown);

    Gdi::Bitmap m_hBitmap;
    void* m_pBits = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nPitch = 0;
    int m_nBPP = 0;
    bool m_bIsDIBSection = false;
    bool m_bHasAlphaChannel = false;
    COLORREF m_clrTransparent = static_cast<COLORREF>(-1);
    mutable HDC m_hDC = nullptr;
    mutable int m_nDCRefCount = 0;
    mutable HBITMAP m_hOldBitmap = nullptr;
};

}  // namespace SkinUI
