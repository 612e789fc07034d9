#pragma once
// Downloads one resource over plain HTTP (GET, port 80) with WinInet and
// returns the body as bytes. Failures are not thrown: the body comes back
// empty and m_strLastError holds a fixed text. One object serves any number
// of sequential requests; its handles stay open until the next request or
// the destructor, so WinInet can keep the connection alive.

#include <string>

#include "app/feed/InternetHandle.h"

namespace Vornex {

class CHttpClient {
public:
    // Shown nowhere by the shell; kept for the owner to inspect.
    static const wchar_t kSendFailedText[];
    // A body beyond this is refused: a server streaming without end must not
    // exhaust the process's memory.
    static constexpr size_t kMaxBodyBytes = 16 * 1024 * 1024;

    CHttpClient() = default;
    ~CHttpClient() { CloseHandles(); }
    CHttpClient(const CHttpClient&) = delete;
    CHttpClient& operator=(const CHttpClient&) = delete;

    // `url` is "[http://]host[/path]"; `headers` replaces the default header
    // block when not empty. Returns the whole body, or empty on failure (a
    // status line carrying "404" counts as failure; other statuses return
    // their body). A read that fails midway returns the bytes read so far.
    std::string Request(const std::string& url, std::string headers);

    std::string m_strHost;
    std::string m_strPath;
    std::wstring m_strLastError;

private:
    void CloseHandles();
    std::string Fail();

    // Children before parents when closing: CloseHandles closes the request,
    // then the connection, then the session (and destruction, running in
    // reverse declaration order, does the same).
    CInternetHandle m_hInternet;
    CInternetHandle m_hConnect;
    CInternetHandle m_hRequest;
};

}  // namespace Vornex
