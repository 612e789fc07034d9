#pragma once
// Entity decoding of the feed's attribute values.

#include <cstddef>
#include <string>

namespace FeedDoc {

// Copies `value`, replacing "&#<decimal>;" and "&#x<hex>;" (at most 7 digits;
// one UTF-16 unit, low 16 bits kept) and "&lt;", "&amp;", "&gt;", "&apos;",
// "&quot;". Any other "&" (a zero or unterminated reference included) is
// copied as it is.
std::wstring DecodeFeedEntities(const wchar_t* value, size_t length);

}  // namespace FeedDoc
