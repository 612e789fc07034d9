#include "runtime/engine/WebSocketClient.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <random>

#include "runtime/engine/LoopbackSocket.h"

namespace vxrt {

namespace {

struct WinsockInit {
    WinsockInit()
    {
        WSADATA d;
        WSAStartup(MAKEWORD(2, 2), &d);
    }
};

std::string Base64(const unsigned char* p, size_t n)
{
    static const char* t = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < n; i += 3) {
        unsigned v = p[i] << 16;
        if (i + 1 < n) v |= p[i + 1] << 8;
        if (i + 2 < n) v |= p[i + 2];
        out += t[(v >> 18) & 63];
        out += t[(v >> 12) & 63];
        out += i + 1 < n ? t[(v >> 6) & 63] : '=';
        out += i + 2 < n ? t[v & 63] : '=';
    }
    return out;
}

SOCKET AsSocket(uintptr_t h) { return static_cast<SOCKET>(h); }

// Once a frame has started, the rest of it is waited for this long
// whatever the caller's timeout: a half-read frame is never abandoned.
const unsigned long kMidFrameMs = 30000;

}  // namespace

WebSocketClient::WebSocketClient() { static WinsockInit init; }

WebSocketClient::~WebSocketClient()
{
    Shutdown();
    Close();
}

bool WebSocketClient::IsOpen() const
{
    std::lock_guard<std::mutex> lock(m_handleLock);
    return m_socket != kNoSocket;
}

bool WebSocketClient::Connect(unsigned short port, const std::string& path, unsigned long timeoutMs)
{
    Shutdown();
    Close();
    SOCKET s = ConnectLoopback(port, timeoutMs);
    if (s == INVALID_SOCKET) return false;
    BOOL noDelay = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    {
        std::lock_guard<std::mutex> lock(m_handleLock);
        m_socket = static_cast<Handle>(s);
    }
    m_frames.Reset();
    m_handshake.clear();

    unsigned char key[16];
    std::random_device rd;
    for (auto& b : key) b = static_cast<unsigned char>(rd());
    // No compression extension is offered: on loopback it costs more than
    // it saves. No Origin header: the engine refuses unknown origins.
    std::string req = "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                      "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: " + Base64(key, 16) +
                      "\r\nSec-WebSocket-Version: 13\r\n\r\n";
    if (send(s, req.data(), static_cast<int>(req.size()), 0) != static_cast<int>(req.size())) {
        Close();
        return false;
    }
    // The response head is read byte by byte off the socket: whatever
    // follows it is the first frame and belongs to the frame reader.
    const DWORD start = GetTickCount();
    while (m_handshake.size() < 4 || m_handshake.compare(m_handshake.size() - 4, 4, "\r\n\r\n") != 0) {
        const DWORD elapsed = GetTickCount() - start;
        if (m_handshake.size() > 16384 || elapsed > timeoutMs) {
            Close();
            return false;
        }
        fd_set rs;
        FD_ZERO(&rs);
        FD_SET(s, &rs);
        const unsigned long wait = timeoutMs - elapsed;
        timeval tv = {static_cast<long>(wait / 1000), static_cast<long>((wait % 1000) * 1000)};
        char c;
        if (select(0, &rs, nullptr, nullptr, &tv) <= 0 || recv(s, &c, 1, 0) != 1) {
            Close();
            return false;
        }
        m_handshake += c;
    }
    const bool upgraded = m_handshake.compare(0, 12, "HTTP/1.1 101") == 0;
    m_handshake.clear();
    if (!upgraded) {
        Close();
        return false;
    }
    return true;
}

void WebSocketClient::Shutdown()
{
    std::lock_guard<std::mutex> lock(m_handleLock);
    if (m_socket != kNoSocket) shutdown(AsSocket(m_socket), SD_BOTH);
}

void WebSocketClient::Close()
{
    // Senders hold the send lock for the whole frame: once it is ours, none
    // is inside send() on this handle, and none starts on it again.
    std::lock_guard<std::mutex> sendLock(m_sendLock);
    Handle h;
    {
        std::lock_guard<std::mutex> lock(m_handleLock);
        h = m_socket;
        m_socket = kNoSocket;
    }
    if (h != kNoSocket) {
        shutdown(AsSocket(h), SD_BOTH);
        closesocket(AsSocket(h));
    }
}

bool WebSocketClient::SendText(const std::string& text) { return SendFrame(0x1, text.data(), text.size()); }

bool WebSocketClient::SendFrame(unsigned char opcode, const char* data, size_t len)
{
    std::string frame;
    frame.reserve(len + 14);
    frame += static_cast<char>(0x80 | opcode);
    if (len < 126) {
        frame += static_cast<char>(0x80 | len);
    } else if (len < 65536) {
        frame += static_cast<char>(0x80 | 126);
        frame += static_cast<char>(len >> 8);
        frame += static_cast<char>(len & 0xFF);
    } else {
        frame += static_cast<char>(0x80 | 127);
        unsigned long long l = len;
        for (int i = 7; i >= 0; --i) frame += static_cast<char>((l >> (8 * i)) & 0xFF);
    }
    // Client frames must be masked; the key need not be secret on loopback.
    static thread_local std::minstd_rand rng(GetTickCount() ^ GetCurrentThreadId());
    unsigned char mask[4];
    for (auto& m : mask) m = static_cast<unsigned char>(rng());
    frame.append(reinterpret_cast<char*>(mask), 4);
    size_t base = frame.size();
    frame.append(data, len);
    for (size_t i = 0; i < len; ++i) frame[base + i] = static_cast<char>(frame[base + i] ^ mask[i & 3]);

    std::lock_guard<std::mutex> sendLock(m_sendLock);
    Handle h;
    {
        std::lock_guard<std::mutex> lock(m_handleLock);
        h = m_socket;
    }
    if (h == kNoSocket) return false;
    size_t sent = 0;
    while (sent < frame.size()) {
        int n = send(AsSocket(h), frame.data() + sent, static_cast<int>(frame.size() - sent), 0);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

WebSocketClient::Fill WebSocketClient::FillOnce(unsigned long timeoutMs)
{
    // Only the reader reads m_socket's value without its lock: the handle
    // changes only in Connect and Close, which never run beside Read.
    const Handle h = m_socket;
    if (h == kNoSocket) return Fill::Closed;
    SOCKET s = AsSocket(h);
    fd_set rs;
    FD_ZERO(&rs);
    FD_SET(s, &rs);
    timeval tv = {static_cast<long>(timeoutMs / 1000), static_cast<long>((timeoutMs % 1000) * 1000)};
    int r = select(0, &rs, nullptr, nullptr, &tv);
    if (r == 0) return Fill::Timeout;
    if (r < 0) return Fill::Closed;
    char buf[65536];
    int got = recv(s, buf, sizeof buf, 0);
    if (got <= 0) return Fill::Closed;
    m_frames.Append(buf, static_cast<size_t>(got));
    return Fill::Data;
}

WebSocketClient::ReadResult WebSocketClient::Read(std::string& message, unsigned long timeoutMs)
{
    std::string payload;
    for (;;) {
        switch (m_frames.Next(payload)) {
        case WebSocketFrameReader::Result::Message:
            message.swap(payload);
            return ReadResult::Message;
        case WebSocketFrameReader::Result::Ping:
            SendFrame(0xA, payload.data(), payload.size());
            continue;
        case WebSocketFrameReader::Result::Pong:
            continue;
        case WebSocketFrameReader::Result::Close:
            // Echo the status code, then stop both ways; the owner closes.
            SendFrame(0x8, payload.data(), payload.size() >= 2 ? 2 : 0);
            Shutdown();
            return ReadResult::Closed;
        case WebSocketFrameReader::Result::Failed:
            Shutdown();
            return ReadResult::Closed;
        case WebSocketFrameReader::Result::NeedMore:
            break;
        }
        const bool midFrame = m_frames.InFrame();
        switch (FillOnce(midFrame ? kMidFrameMs : timeoutMs)) {
        case Fill::Data:
            break;
        case Fill::Timeout:
            if (!midFrame) return ReadResult::Timeout;
            Shutdown();
            return ReadResult::Closed;
        case Fill::Closed:
            return ReadResult::Closed;
        }
    }
}

}  // namespace vxrt
