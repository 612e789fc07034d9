#pragma once
// The caret of a text field in the page is drawn by the browser window, not
// by the engine. A blinking caret drawn by the engine makes it paint and
// send a picture twice a second at rest; a window caret blinks for the cost
// of inverting its few pixels. The page keeps its caret but with no colour
// and no blinking, and a watch in the page reports where it stands.

namespace vxrt {

// The function the watch reports through (a DevTools binding).
extern const char* const kCaretBinding;
// Run in every new top document: hides the engine's caret of focused input
// fields and reports "x,y,height" (viewport CSS pixels) or "" whenever the
// caret moves, appears or goes. Fields it cannot place (text areas, editable
// elements, fields in frames) keep the engine's caret.
extern const char* const kCaretWatch;

}  // namespace vxrt
