#pragma once
// Entity decoding of the feed's attribute values.

#include <cstddef>
#include <string>

namespace Vornex {

namespace FeedDoc {

// Copies `value`, replacing "&#<decimal>;" and "&#x<hex>;" (at most 7 digits;
// one UTF-16 unit, low 16 bits kept) and "&lt;", "&amp;", "&gt;", "&apos;",
// "&quot;". Any other "&" (an unterminated reference, or one whose kept
// unit is zero, such as "&#65536;", included) is copied as it is, so the
// result never holds a NUL that `value` did not.
std::wstring DecodeFeedEntities(const wchar_t* value, size_t length);

}  // namespace FeedDoc

}  // namespace Vornex
