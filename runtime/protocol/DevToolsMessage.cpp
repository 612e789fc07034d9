#include "runtime/protocol/DevToolsMessage.h"

namespace vxrt {

DevToolsMessage ParseDevToolsMessage(const std::string& text)
{
    DevToolsMessage m;
    Json msg = Json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (!msg.is_object()) return m;
    if (const Json* id = json::Member(msg, "id")) {
        // Ids are the ones this side handed out: positive ints. Anything
        // else answers no call of ours.
        const int value = json::Int(msg, "id", 0);
        if (!id->is_number_integer() || value <= 0) return m;
        m.kind = DevToolsMessage::Kind::Reply;
        m.id = value;
        auto result = msg.find("result");
        if (result != msg.end() && result->is_object())
            m.result = std::move(*result);
        else
            m.result = Json::object();
        auto error = msg.find("error");
        // An error of null would read as success.
        if (error != msg.end()) m.error = error->is_null() ? Json("error") : std::move(*error);
        return m;
    }
    const std::string* method = json::StringRef(msg, "method");
    if (!method || method->empty()) return m;
    m.kind = DevToolsMessage::Kind::Event;
    m.method = *method;
    m.sessionId = json::String(msg, "sessionId");
    auto params = msg.find("params");
    if (params != msg.end() && params->is_object())
        m.params = std::move(*params);
    else
        m.params = Json::object();
    return m;
}

}  // namespace vxrt
