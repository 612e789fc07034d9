#include "runtime/engine/LoopbackSocket.h"

#include <windows.h>

namespace vxrt {

SOCKET ConnectLoopback(unsigned short port, unsigned long timeoutMs, bool* refused)
{
    if (refused) *refused = false;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return INVALID_SOCKET;
    SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    u_long nonBlocking = 1;
    if (ioctlsocket(s, FIONBIO, &nonBlocking) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool connected = connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    const int started = connected ? 0 : WSAGetLastError();
    if (started == WSAECONNREFUSED && refused) *refused = true;
    if (started == WSAEWOULDBLOCK) {
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(s, &writable);
        FD_SET(s, &failed);
        timeval tv = {static_cast<long>(timeoutMs / 1000), static_cast<long>((timeoutMs % 1000) * 1000)};
        if (select(0, nullptr, &writable, &failed, &tv) == 1) {
            int error = 0;
            int length = sizeof error;
            connected = getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) == 0 &&
                        error == 0;
            if (error == WSAECONNREFUSED && refused) *refused = true;
        }
    }
    u_long blocking = 0;
    if (!connected || ioctlsocket(s, FIONBIO, &blocking) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

}  // namespace vxrt
