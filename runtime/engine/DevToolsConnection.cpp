#include "runtime/engine/DevToolsConnection.h"

#include <memory>

#include "runtime/protocol/DevToolsMessage.h"

namespace vxrt {

DevToolsConnection::DevToolsConnection() {}

DevToolsConnection::~DevToolsConnection() { Close(); }

bool DevToolsConnection::Open(unsigned short port, const std::string& path, EventSink events, TickSink tick)
{
    Close();
    if (!m_socket.Connect(port, path, 5000)) return false;
    m_events = std::move(events);
    m_tick = std::move(tick);
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_closed = false;
        m_stopping = false;
    }
    m_thread = std::thread([this] { ReadLoop(); });
    return true;
}

void DevToolsConnection::Close()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stopping = true;
    }
    // Only wake the reader here; it closes the socket itself once its loop
    // has ended, so the handle is never freed under a select or recv.
    m_socket.Shutdown();
    if (m_thread.joinable()) {
        // From the runtime thread itself (a sink closing the connection) the
        // loop is woken and ends by itself.
        if (m_thread.get_id() == std::this_thread::get_id()) return;
        m_thread.join();
    }
    m_socket.Close();  // when the reader never started
    FailPending();
}

bool DevToolsConnection::IsOpen() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return !m_closed;
}

bool DevToolsConnection::WaitClosed(DWORD timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_lock);
    return m_closedCv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_closed; });
}

void DevToolsConnection::Call(const std::string& method, const Json& params, const std::string& sessionId, Reply reply)
{
    Json msg;
    int id;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_closed) {
            if (reply) reply(Json(), Json("closed"));
            return;
        }
        id = m_nextId++;
        if (reply) m_pending[id] = std::move(reply);
    }
    msg["id"] = id;
    msg["method"] = method;
    msg["params"] = params.is_null() ? Json::object() : params;
    if (!sessionId.empty()) msg["sessionId"] = sessionId;
    if (!m_socket.SendText(msg.dump(-1, ' ', false, Json::error_handler_t::replace))) {
        Reply r;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            auto it = m_pending.find(id);
            if (it != m_pending.end()) {
                r = std::move(it->second);
                m_pending.erase(it);
            }
        }
        if (r) r(Json(), Json("send failed"));
    }
}

Json DevToolsConnection::CallSync(const std::string& method, const Json& params, const std::string& sessionId,
                                  DWORD timeoutMs, Json* error)
{
    struct Waiter {
        std::mutex m;
        std::condition_variable cv;
        bool done = false;
        Json result, error;
    };
    auto w = std::make_shared<Waiter>();
    Call(method, params, sessionId, [w](const Json& r, const Json& e) {
        std::lock_guard<std::mutex> lock(w->m);
        w->result = r;
        w->error = e;
        w->done = true;
        w->cv.notify_all();
    });
    std::unique_lock<std::mutex> lock(w->m);
    if (!w->cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return w->done; })) {
        if (error) *error = Json("timeout");
        return Json();
    }
    if (error) *error = w->error;
    return w->error.is_null() ? w->result : Json();
}

void DevToolsConnection::FailPending()
{
    std::map<int, Reply> pending;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        pending.swap(m_pending);
    }
    for (auto& p : pending)
        if (p.second) p.second(Json(), Json("closed"));
}

void DevToolsConnection::Deliver(const std::string& text)
{
    DevToolsMessage msg = ParseDevToolsMessage(text);
    if (msg.kind == DevToolsMessage::Kind::Reply) {
        Reply reply;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            auto it = m_pending.find(msg.id);
            if (it != m_pending.end()) {
                reply = std::move(it->second);
                m_pending.erase(it);
            }
        }
        if (reply) reply(msg.result, msg.error);
    } else if (msg.kind == DevToolsMessage::Kind::Event && m_events) {
        m_events(msg.method, msg.params, msg.sessionId);
    }
}

void DevToolsConnection::ReadLoop()
{
    std::string text;
    DWORD lastTick = GetTickCount();
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_stopping) break;
        }
        WebSocketClient::ReadResult r = m_socket.Read(text, 50);
        if (r == WebSocketClient::ReadResult::Closed) break;
        if (r == WebSocketClient::ReadResult::Message) Deliver(text);
        if (GetTickCount() - lastTick >= 50) {
            lastTick = GetTickCount();
            if (m_tick) m_tick();
        }
    }
    // No other thread reads any more and none waits in a select on the
    // handle: this is the one place a running connection's socket is freed.
    m_socket.Close();
    bool lost;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_closed = true;
        lost = !m_stopping;
    }
    FailPending();
    m_closedCv.notify_all();
    if (lost && m_closedSink) m_closedSink();
}

}  // namespace vxrt
