#pragma once
// Minimal WebSocket client (text messages) over a blocking Winsock socket,
// enough to speak the engine's DevTools protocol on loopback. One thread
// reads; any thread may send (sends are serialised).

#include <winsock2.h>

#include <mutex>
#include <string>

namespace vxrt {

class WebSocketClient {
public:
    WebSocketClient();
    ~WebSocketClient();
    WebSocketClient(const WebSocketClient&) = delete;
    WebSocketClient& operator=(const WebSocketClient&) = delete;

    // Connects to 127.0.0.1:port and upgrades the HTTP GET of path.
    bool Connect(unsigned short port, const std::string& path, DWORD timeoutMs);
    bool SendText(const std::string& text);
    // Reads the next complete text message. Returns false when the
    // connection closed or failed, or when a message exceeds the limit.
    enum class ReadResult {
        Message,
        Timeout,
        Closed
    };
    ReadResult Read(std::string& message, DWORD timeoutMs);
    // Closes the socket; a blocked Read returns Closed.
    void Close();
    bool IsOpen() const { return m_socket != INVALID_SOCKET; }

    static const size_t kMaxMessage = 64u * 1024u * 1024u;

private:
    bool SendFrame(unsigned char opcode, const char* data, size_t len);
    bool FillAtLeast(size_t n, DWORD timeoutMs, bool* timedOut);

    SOCKET m_socket;
    std::mutex m_sendLock;
    std::string m_in;       // bytes received, not yet consumed
    std::string m_partial;  // payload of a fragmented message
};

}  // namespace vxrt
