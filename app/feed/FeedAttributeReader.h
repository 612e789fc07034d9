#pragma once
// Finds an attribute's raw value in a feed element's start tag.

#include <cstddef>
#include <cstdint>

namespace Vornex {

namespace FeedDoc {

struct FoundAttribute {
    bool found = false;
    uint32_t valueStart = 0;
    uint32_t valueLength = 0;
};

// Reads the start tag in [begin, end) (begin is the unit after its "<"),
// skipping the tag name, and returns the value of the first attribute whose
// name matches: the text between the quotes of a quoted value, a bare word,
// or the attribute's own name when it has no "=".
FoundAttribute FindAttribute(const wchar_t* text, uint32_t begin, uint32_t end, const wchar_t* name, size_t nameLength,
                             bool ignoreCase);

}  // namespace FeedDoc

}  // namespace Vornex
