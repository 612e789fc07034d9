#include "ui/paint/DefaultFont.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cwchar>

namespace SkinUI {

namespace {

struct SharedState {
    tagTFontInfo info;
    std::shared_ptr<const Gdi::Font> font;
    std::vector<DefaultFont::Lease*> leases;
    unsigned long revision = 0;
};

// Built on first use and never destroyed: managers that live in static
// objects may still end after every other static of the program.
SharedState& State()
{
    static SharedState* state = new SharedState;
    return *state;
}

}  // namespace

tagTFontInfo& DefaultFont::Info() { return State().info; }

void DefaultFont::Replace(HFONT font, LPCTSTR face, int size, bool bold, bool underline, bool italic)
{
    SharedState& state = State();
    if (state.font) {
        for (Lease* lease : state.leases) lease->m_kept.push_back(state.font);
    }
    state.font = std::make_shared<const Gdi::Font>(font);
    state.info.hFont = font;
    state.info.sFontName = face;
    state.info.iSize = size;
    state.info.bBold = bold;
    state.info.bUnderline = underline;
    state.info.bItalic = italic;
    state.info.tm = TEXTMETRIC();
    ++state.revision;
    FontTable::NoteChange();
}

bool DefaultFont::IsCurrent(const LOGFONTW& lf)
{
    const SharedState& state = State();
    if (!state.font) return false;
    LOGFONTW current = {};
    if (::GetObjectW(state.font->Get(), sizeof(current), &current) != sizeof(current)) return false;
    return std::memcmp(&current, &lf, offsetof(LOGFONTW, lfFaceName)) == 0 &&
           std::wcsncmp(current.lfFaceName, lf.lfFaceName, LF_FACESIZE) == 0;
}

unsigned long DefaultFont::Revision() { return State().revision; }

DefaultFont::Lease::Lease() { State().leases.push_back(this); }

DefaultFont::Lease::~Lease()
{
    auto& leases = State().leases;
    leases.erase(std::remove(leases.begin(), leases.end(), this), leases.end());
}

}  // namespace SkinUI
