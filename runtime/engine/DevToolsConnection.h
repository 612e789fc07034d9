#pragma once
// One DevTools protocol connection to the engine's browser endpoint. A
// runtime thread owns the reads: it completes calls, hands events to the
// event sink and ticks the sink's timers. Calls may be sent from any thread.

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include <windows.h>

#include "runtime/engine/WebSocketClient.h"
#include "runtime/protocol/Json.h"

namespace vxrt {

class DevToolsConnection {
public:
    typedef std::function<void(const Json& result, const Json& error)> Reply;
    // Runs on the runtime thread: (method, params, sessionId).
    typedef std::function<void(const std::string&, const Json&, const std::string&)> EventSink;
    typedef std::function<void()> TickSink;

    DevToolsConnection();
    ~DevToolsConnection();

    // Runs on the runtime thread once when the engine drops the connection
    // (not when Close ends it). Set before Open.
    void SetClosedSink(std::function<void()> sink) { m_closedSink = std::move(sink); }

    bool Open(unsigned short port, const std::string& path, EventSink events, TickSink tick);
    // Stops the runtime thread and closes the socket. Not from the runtime
    // thread itself.
    void Close();
    bool IsOpen() const;
    // True once the engine dropped the connection (it has gone away).
    bool WaitClosed(DWORD timeoutMs);

    void Call(const std::string& method, const Json& params, const std::string& sessionId, Reply reply = nullptr);
    // Waits for the result; an error or a timeout gives a null Json and,
    // when wanted, the error.
    Json CallSync(const std::string& method, const Json& params, const std::string& sessionId, DWORD timeoutMs,
                  Json* error = nullptr);

private:
    void ReadLoop();
    void Deliver(const std::string& text);
    void FailPending();

    WebSocketClient m_socket;
    std::thread m_thread;
    EventSink m_events;
    TickSink m_tick;
    std::function<void()> m_closedSink;
    mutable std::mutex m_lock;
    std::condition_variable m_closedCv;
    bool m_closed = true;
    bool m_stopping = false;
    int m_nextId = 1;
    std::map<int, Reply> m_pending;
};

}  // namespace vxrt
