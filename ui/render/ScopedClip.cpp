#include "ui/render/ScopedClip.h"

namespace SkinUI {

ScopedClip::ScopedClip(HDC hDC, const RECT& rc) : m_hDC(hDC), m_inner(rc)
{
    ::GetClipBox(m_hDC, &m_outer);
    ::IntersectClipRect(m_hDC, rc.left, rc.top, rc.right, rc.bottom);
}

ScopedClip::~ScopedClip() { Set(m_outer); }

void ScopedClip::UseOuter() const { Set(m_outer); }

void ScopedClip::UseInner() const { Set(m_inner); }

void ScopedClip::Set(const RECT& rc) const
{
    ::SelectClipRgn(m_hDC, nullptr);
    ::IntersectClipRect(m_hDC, rc.left, rc.top, rc.right, rc.bottom);
}

}  // namespace SkinUI
