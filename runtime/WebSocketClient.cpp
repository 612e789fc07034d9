#include "runtime/WebSocketClient.h"

#include <ws2tcpip.h>

#include <random>

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

}  // namespace

WebSocketClient::WebSocketClient() : m_socket(INVALID_SOCKET) { static WinsockInit init; }

WebSocketClient::~WebSocketClient() { Close(); }

bool WebSocketClient::Connect(unsigned short port, const std::string& path, DWORD timeoutMs)
{
    Close();
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return false;
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        closesocket(s);
        return false;
    }
    BOOL noDelay = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    m_socket = s;
    m_in.clear();
    m_partial.clear();

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
    DWORD start = GetTickCount();
    size_t end;
    while ((end = m_in.find("\r\n\r\n")) == std::string::npos) {
        if (m_in.size() > 16384 || GetTickCount() - start > timeoutMs) {
            Close();
            return false;
        }
        bool timedOut = false;
        if (!FillAtLeast(m_in.size() + 1, 200, &timedOut) && !timedOut) {
            Close();
            return false;
        }
    }
    std::string head = m_in.substr(0, end);
    m_in.erase(0, end + 4);
    if (head.compare(0, 12, "HTTP/1.1 101") != 0) {
        Close();
        return false;
    }
    return true;
}

void WebSocketClient::Close()
{
    SOCKET s = m_socket;
    m_socket = INVALID_SOCKET;
    if (s != INVALID_SOCKET) {
        shutdown(s, SD_BOTH);
        closesocket(s);
    }
}

bool WebSocketClient::SendText(const std::string& text) { return SendFrame(0x1, text.data(), text.size()); }

bool WebSocketClient::SendFrame(unsigned char opcode, const char* data, size_t len)
{
    std::lock_guard<std::mutex> lock(m_sendLock);
    SOCKET s = m_socket;
    if (s == INVALID_SOCKET) return false;
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
    size_t sent = 0;
    while (sent < frame.size()) {
        int n = send(s, frame.data() + sent, static_cast<int>(frame.size() - sent), 0);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

bool WebSocketClient::FillAtLeast(size_t n, DWORD timeoutMs, bool* timedOut)
{
    *timedOut = false;
    char buf[65536];
    while (m_in.size() < n) {
        SOCKET s = m_socket;
        if (s == INVALID_SOCKET) return false;
        fd_set rs;
        FD_ZERO(&rs);
        FD_SET(s, &rs);
        timeval tv = {static_cast<long>(timeoutMs / 1000), static_cast<long>((timeoutMs % 1000) * 1000)};
        int r = select(0, &rs, nullptr, nullptr, &tv);
        if (r == 0) {
            *timedOut = true;
            return false;
        }
        if (r < 0) return false;
        int got = recv(s, buf, sizeof buf, 0);
        if (got <= 0) return false;
        m_in.append(buf, static_cast<size_t>(got));
    }
    return true;
}

WebSocketClient::ReadResult WebSocketClient::Read(std::string& message, DWORD timeoutMs)
{
    for (;;) {
        bool timedOut = false;
        if (!FillAtLeast(2, timeoutMs, &timedOut)) return timedOut ? ReadResult::Timeout : ReadResult::Closed;
        const unsigned char* h = reinterpret_cast<const unsigned char*>(m_in.data());
        bool fin = (h[0] & 0x80) != 0;
        unsigned opcode = h[0] & 0x0F;
        bool masked = (h[1] & 0x80) != 0;
        unsigned long long len = h[1] & 0x7F;
        size_t headLen = 2;
        if (len == 126)
            headLen = 4;
        else if (len == 127)
            headLen = 10;
        if (masked) headLen += 4;
        // Once a frame has started, wait for the rest of it without the
        // caller's short timeout: a half-read frame is never abandoned.
        if (!FillAtLeast(headLen, 30000, &timedOut)) return ReadResult::Closed;
        h = reinterpret_cast<const unsigned char*>(m_in.data());
        if (len == 126)
            len = (h[2] << 8) | h[3];
        else if (len == 127) {
            len = 0;
            for (int i = 0; i < 8; ++i) len = (len << 8) | h[2 + i];
        }
        if (len > kMaxMessage || m_partial.size() + len > kMaxMessage) {
            Close();
            return ReadResult::Closed;
        }
        if (!FillAtLeast(headLen + static_cast<size_t>(len), 30000, &timedOut)) return ReadResult::Closed;
        std::string payload = m_in.substr(headLen, static_cast<size_t>(len));
        if (masked) {
            const unsigned char* mk = reinterpret_cast<const unsigned char*>(m_in.data()) + headLen - 4;
            for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>(payload[i] ^ mk[i & 3]);
        }
        m_in.erase(0, headLen + static_cast<size_t>(len));
        switch (opcode) {
        case 0x0:  // continuation
        case 0x1:  // text
        case 0x2:  // binary
            m_partial += payload;
            if (fin) {
                message.swap(m_partial);
                m_partial.clear();
                return ReadResult::Message;
            }
            break;
        case 0x8:  // close
            SendFrame(0x8, payload.data(), payload.size() >= 2 ? 2 : 0);
            Close();
            return ReadResult::Closed;
        case 0x9:  // ping
            SendFrame(0xA, payload.data(), payload.size());
            break;
        default:  // pong and reserved opcodes carry nothing for us
            break;
        }
    }
}

}  // namespace vxrt
