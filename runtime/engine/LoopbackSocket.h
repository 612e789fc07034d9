#pragma once

#include <winsock2.h>

namespace vxrt {

// A TCP connection to 127.0.0.1:`port`, made within `timeoutMs`, in blocking
// mode; INVALID_SOCKET when nothing accepts it in time. A plain connect can
// block for half a minute and more: an engine that has stopped accepting
// (busy, or ending) lets its queue fill, and further attempts are then
// retried by the system rather than refused. The socket is not inherited:
// a process started later must not hold the engine's connection open.
// `refused`, when given, tells a port nobody listens on from one that did
// not answer in time.
SOCKET ConnectLoopback(unsigned short port, unsigned long timeoutMs, bool* refused = nullptr);

}  // namespace vxrt
