#pragma once
// User messages of the main window.

namespace Vornex {

constexpr unsigned UM_ICONNOTIFY = 0x465;
constexpr unsigned UM_CLOSEMAIN = 0x466;
// Posted by the feed thread once the advertisement lists are filled.
constexpr unsigned UM_FEEDREADY = 0x467;

}  // namespace Vornex
