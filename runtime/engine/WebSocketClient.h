#pragma once
// Minimal WebSocket client over a blocking socket, enough to speak the
// engine's DevTools protocol on loopback.
//
// Threads: one reader thread calls Read; any thread may send (sends are
// serialised by the send lock). Another thread stops the reader only with
// Shutdown, which wakes a blocked Read without freeing the socket. The
// socket is closed by Close, which the reader's owner calls after the read
// loop has ended; Close takes the send lock, so no sender ever uses a
// closed (and possibly reused) handle.

#include <cstdint>
#include <mutex>
#include <string>

#include "runtime/protocol/WebSocketFrameReader.h"

namespace vxrt {

class WebSocketClient {
public:
    WebSocketClient();
    ~WebSocketClient();
    WebSocketClient(const WebSocketClient&) = delete;
    WebSocketClient& operator=(const WebSocketClient&) = delete;

    // Connects to 127.0.0.1:port and upgrades the HTTP GET of path.
    bool Connect(unsigned short port, const std::string& path, unsigned long timeoutMs);
    bool SendText(const std::string& text);

    enum class ReadResult {
        Message,
        Timeout,
        Closed
    };
    // Reader thread: the next complete message. Closed when the peer closed
    // or broke the protocol, or after Shutdown.
    ReadResult Read(std::string& message, unsigned long timeoutMs);
    // Any thread: ends the connection both ways. A blocked Read returns
    // Closed; sends fail. The handle stays valid until Close.
    void Shutdown();
    // Frees the socket. Call only when no Read runs (after the read loop).
    void Close();
    bool IsOpen() const;

    static const size_t kMaxMessage = WebSocketFrameReader::kDefaultMaxMessage;

private:
    bool SendFrame(unsigned char opcode, const char* data, size_t len);
    // Waits up to timeoutMs for bytes and hands them to the frame reader.
    enum class Fill {
        Data,
        Timeout,
        Closed
    };
    Fill FillOnce(unsigned long timeoutMs);

    typedef uintptr_t Handle;  // a SOCKET; its header stays inside the .cpp
    static const Handle kNoSocket = ~static_cast<Handle>(0);

    mutable std::mutex m_handleLock;  // guards m_socket's value
    Handle m_socket = kNoSocket;
    std::mutex m_sendLock;  // one frame at a time; Close waits for it
    WebSocketFrameReader m_frames;
    std::string m_handshake;  // response bytes before the upgrade completes
};

}  // namespace vxrt
