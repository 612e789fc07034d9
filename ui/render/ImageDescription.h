#pragma once
// An image description of a skin: "file='btn.png' dest='0,0,20,20'
// source='0,0,20,20' corner='2,2,2,2' mask='#FFFF00FF' fade='128'
// hole='false' xtiled='false' ytiled='false'", or just a file name. Skins
// are editable files, so the reader takes any text; numbers saturate as
// every other attribute value does.

#include <functional>

#include "ui/base/Platform.h"
#include "ui/base/UiString.h"

namespace SkinUI {

struct ImageDescription {
    CUiString name;
    CUiString type;
    RECT dest = {0, 0, 0, 0};
    RECT source = {0, 0, 0, 0};
    RECT corners = {0, 0, 0, 0};
    DWORD mask = 0;
    BYTE fade = 255;
    bool hole = false;
    bool xtiled = false;
    bool ytiled = false;
};

// Reads `text` into `d`: its items change what `d` already holds. `dest` is
// relative to `item` and is clipped to its right and bottom edges. A
// further "file", "res" or "restype" item starts another image: the one
// described so far is handed to `finished` first (the image it starts keeps
// the other settings). `dest` is written at 100 % and placed at `dpi`.
void ReadImageDescription(LPCTSTR text, const RECT& item, ImageDescription& d,
                          const std::function<void(const ImageDescription&)>& finished, int dpi = 96);

}  // namespace SkinUI
