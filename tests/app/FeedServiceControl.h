#pragma once
// Test-side control of tools/feed_service.py, which the test's command line
// runs around the test program: the service's control folder comes in
// VORNEX_FEED_SERVICE_DIR; a test writes the scenario there and reads back the
// bytes of the last request.

#include <string>

namespace FeedService {

// The control folder as a Windows path ("Z:\..."), empty when the test was
// not started through the service.
std::wstring Folder();

// Replaces the scenario the service answers with (JSON, UTF-8).
bool SetScenario(const std::string& json);

// Exact bytes of the last request the service received.
std::string LastRequest();

// Number of requests served so far.
int RequestCount();

// `text` (UTF-8) as a JSON string literal, quotes included.
std::string JsonString(const std::string& text);

}  // namespace FeedService
