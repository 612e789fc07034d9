#pragma once
// One message of the engine's DevTools connection, taken apart: the reply to
// a call (by id) or an event (by method, with the session it came on).

#include <string>

#include "runtime/protocol/Json.h"

namespace vxrt {

struct DevToolsMessage {
    enum class Kind {
        Invalid,  // not JSON, not an object, or neither reply nor event
        Reply,
        Event
    };
    Kind kind = Kind::Invalid;
    int id = 0;             // Reply
    Json result;            // Reply: the result object (empty when absent)
    Json error;             // Reply: null unless the call failed
    std::string method;     // Event
    Json params;            // Event: always an object
    std::string sessionId;  // Event: empty for the browser's own events
};

// Never throws, whatever the text.
DevToolsMessage ParseDevToolsMessage(const std::string& text);

}  // namespace vxrt
