#pragma once
// Unicode text onto the system clipboard.

#include <string>

namespace Vornex {

// Replaces the clipboard's contents with text as CF_UNICODETEXT. Returns
// false when the clipboard could not be opened, emptied or filled; the
// clipboard is then left as it was or empty, never half-written.
bool CopyTextToClipboard(const std::wstring& text);

}  // namespace Vornex
