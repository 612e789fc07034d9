#pragma once
// The skin archive linked into a benchmark as resource "DAT" 130, installed
// as the paint manager's resource archive.

#include "ui/paint/PaintManagerUI.h"

namespace Bench {

inline bool InstallSkin()
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(130), L"DAT");
    if (!found) return false;
    SkinUI::CPaintManagerUI::SetResourceZip(::LockResource(::LoadResource(module, found)),
                                            ::SizeofResource(module, found));
    return true;
}

}  // namespace Bench
