#pragma once
// Where the bytes of a skin image come from: a module resource of a given
// type, the skin archive, the skin folder, or finally the name as a path.

#include "ui/core/StringOrId.h"

#include <vector>

namespace SkinUI {

// False (and `out` empty) when no source produced a non-empty byte block.
bool ReadImageBytes(STRINGorID name, LPCTSTR type, std::vector<unsigned char>& out);

} // namespace SkinUI
