#include "app/feed/HttpClient.h"

#include <cstring>

#include "app/feed/HttpRequestText.h"

namespace Vornex {

const wchar_t CHttpClient::kSendFailedText[] =
    L"\x53D1\x9001\x8BF7\x6C42\x5931\x8D25\xFF0C\x8BF7\x68C0\x67E5\x7F51\x7EDC";

namespace {

const wchar_t kAgentName[] = L"Http-connect";
const INTERNET_PORT kServerPort = 80;
const DWORD kReadChunk = 1024;

}  // namespace

void CHttpClient::CloseHandles()
{
    m_hRequest.Reset();
    m_hConnect.Reset();
    m_hInternet.Reset();
}

std::string CHttpClient::Fail()
{
    m_strLastError = kSendFailedText;
    return std::string();
}

std::string CHttpClient::Request(const std::string& url, std::string headers)
{
    if (url.empty()) return std::string();

    CloseHandles();
    m_hInternet.Reset(::InternetOpenW(kAgentName, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!m_hInternet) return Fail();

    HttpRequestText::SplitUrl(url, m_strHost, m_strPath);

    m_hConnect.Reset(::InternetConnectA(m_hInternet.Get(), m_strHost.c_str(), kServerPort, nullptr, nullptr,
                                        INTERNET_SERVICE_HTTP, 0, 0));
    if (!m_hConnect) return Fail();

    m_hRequest.Reset(::HttpOpenRequestA(m_hConnect.Get(), "GET", m_strPath.c_str(), "HTTP/1.1", nullptr, nullptr,
                                        INTERNET_FLAG_RELOAD, 0));
    if (!m_hRequest) return Fail();

    if (headers.empty()) headers = HttpRequestText::BuildDefaultHeaders(m_strHost);
    if (!::HttpSendRequestA(m_hRequest.Get(), headers.c_str(), static_cast<DWORD>(headers.size()), nullptr, 0))
        return Fail();

    char buffer[kReadChunk + 1];
    std::memset(buffer, 0, sizeof(buffer));
    DWORD headerLength = kReadChunk;
    if (!::HttpQueryInfoA(m_hRequest.Get(), HTTP_QUERY_RAW_HEADERS, buffer, &headerLength, nullptr)) return Fail();
    if (HttpRequestText::StatusLineReportsNotFound(buffer, kReadChunk)) return Fail();

    std::string body;
    for (;;) {
        DWORD read = 0;
        if (!::InternetReadFile(m_hRequest.Get(), buffer, kReadChunk, &read) || read == 0) break;
        buffer[read] = '\0';
        if (body.size() + read > kMaxBodyBytes) return Fail();
        body.append(buffer, read);
    }
    return body;
}

}  // namespace Vornex
