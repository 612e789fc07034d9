#pragma once
// A reference-counted colour: one packed value with red in the lowest byte,
// then green, blue and alpha.

#include "ui/base/Platform.h"

namespace SkinUI {

class UiColor {
public:
    static UiColor* CreateInstance(DWORD packed) { return new UiColor(packed); }

    UiColor() = default;
    UiColor(BYTE r, BYTE g, BYTE b, BYTE a) : m_value(Pack(r, g, b, a)) {}
    explicit UiColor(DWORD packed) : m_value(packed) {}

    BYTE GetR() const { return static_cast<BYTE>(m_value); }
    BYTE GetG() const { return static_cast<BYTE>(m_value >> 8); }
    BYTE GetB() const { return static_cast<BYTE>(m_value >> 16); }
    BYTE GetA() const { return static_cast<BYTE>(m_value >> 24); }
    void SetR(BYTE v) { m_value = (m_value & 0xFFFFFF00u) | v; }
    void SetG(BYTE v) { m_value = (m_value & 0xFFFF00FFu) | (DWORD(v) << 8); }
    void SetB(BYTE v) { m_value = (m_value & 0xFF00FFFFu) | (DWORD(v) << 16); }
    void SetA(BYTE v) { m_value = (m_value & 0x00FFFFFFu) | (DWORD(v) << 24); }

    // Stores the value as an opaque colour.
    void SetColor(DWORD packed) { m_value = packed | 0xFF000000u; }
    void ReplaceRGB(DWORD packed) { m_value = (m_value & 0xFF000000u) | (packed & 0x00FFFFFFu); }
    void ReplaceRGB(BYTE r, BYTE g, BYTE b) { ReplaceRGB(Pack(r, g, b, 0)); }
    // The colour as a COLORREF when opaque, else 0.
    COLORREF GetGDICompatibleValue() const { return GetA() == 255 ? (m_value & 0x00FFFFFFu) : 0; }
    operator DWORD() const { return m_value & 0x00FFFFFFu; }
    DWORD GetValue() const { return m_value; }

    ~UiColor() = default;

    void AddRef() { ++m_refs; }
    void Release()
    {
        if (--m_refs <= 0) delete this;
    }

private:
    static DWORD Pack(BYTE r, BYTE g, BYTE b, BYTE a)
    {
        return DWORD(r) | (DWORD(g) << 8) | (DWORD(b) << 16) | (DWORD(a) << 24);
    }
    DWORD m_value = 0;
    long m_refs = 1;
};

}  // namespace SkinUI
