#include "app/feed/HttpRequestText.h"

#include <cstring>

namespace Vornex {

namespace HttpRequestText {

void SplitUrl(const std::string& url, std::string& host, std::string& path)
{
    static const char kScheme[] = "http://";
    std::string rest = url;
    const size_t scheme = rest.find(kScheme);
    if (scheme != std::string::npos) rest.erase(0, scheme + (sizeof(kScheme) - 1));

    const size_t slash = rest.find('/');
    if (slash == std::string::npos) {
        host = rest;
        return;
    }
    host = rest.substr(0, slash);
    path = rest.substr(slash);
}

std::string BuildDefaultHeaders(const std::string& host)
{
    std::string headers = "Referer: ";
    headers += host;
    headers += "\r\nContent-Type: application/x-www-form-urlencoded\r\n";
    headers += "Accept: */*\r\n";
    headers += "Connection: Keep-Alive\r\n\r\n";
    return headers;
}

bool StatusLineReportsNotFound(const char* rawHeaders, size_t length)
{
    if (rawHeaders == nullptr) return false;
    const void* zero = std::memchr(rawHeaders, '\0', length);
    const size_t lineLength = zero ? static_cast<size_t>(static_cast<const char*>(zero) - rawHeaders) : length;
    return std::string(rawHeaders, lineLength).find("404") != std::string::npos;
}

}  // namespace HttpRequestText

}  // namespace Vornex
