#pragma once
// The menu the runtime offers for a context before the client rewrites it,
// and the page script that finds the context.

#include <nlohmann/json.hpp>

#include "runtime/engine/ContextMenuParams.h"
#include "runtime/engine/MenuModel.h"

namespace vxrt {

// What the page and the browser can do at the moment the menu opens.
struct ContextMenuAbilities {
    bool canGoBack = false;
    bool canGoForward = false;
    bool isLoading = false;
};

// Editable fields get the editing commands, a selection gets Copy, every
// other place (page, link, image) gets navigation, Print and View source.
void BuildDefaultContextMenu(MenuModel& model, const ContextMenuParams& params, const ContextMenuAbilities& abilities);

// Script (an expression taking x, y and whether the keyboard asked) whose
// value describes the element at that point or, for the keyboard, the focus.
const char* HitTestScript();

// Fills params from the hit test's value. False when the value is not the
// object the script returns (the page replaced or broke it); params then
// describe a plain page.
bool ParseHitTest(const nlohmann::json& value, ContextMenuParams& params);

}  // namespace vxrt
