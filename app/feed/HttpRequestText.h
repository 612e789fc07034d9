#pragma once
// The text-only parts of the feed's HTTP client: how a URL is split into
// host and path, the header block sent when the caller gives none, and how
// a status line is judged. Kept free of WinInet so they build and are tested
// natively as well.

#include <string>

namespace Vornex {

namespace HttpRequestText {

// Splits `url` the way the client connects: anything up to and including the
// first "http://" is dropped; the host runs to the first "/", the path from
// that "/" to the end. When there is no "/", only the host is replaced and
// `path` keeps its previous value (the previous request's path).
void SplitUrl(const std::string& url, std::string& host, std::string& path);

// The header block used when the caller passes no headers of its own:
// Referer carrying the host, content type, accept, keep-alive, blank line.
std::string BuildDefaultHeaders(const std::string& host);

// The status line is the raw header text up to its first zero byte; a "404"
// anywhere in it means the resource is missing.
bool StatusLineReportsNotFound(const char* rawHeaders, size_t length);

}  // namespace HttpRequestText

}  // namespace Vornex
