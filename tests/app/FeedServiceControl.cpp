#include "tests/app/FeedServiceControl.h"

#include <cstdio>
#include <cstdlib>
#include <windows.h>

namespace FeedService {
namespace {

std::string ReadFile(const std::wstring& path)
{
    std::string data;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (f == nullptr) return data;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0) data.append(buffer, n);
    std::fclose(f);
    return data;
}

}  // namespace

std::wstring Folder()
{
    const wchar_t* unixPath = _wgetenv(L"VORNEX_FEED_SERVICE_DIR");
    if (unixPath == nullptr || unixPath[0] != L'/') return std::wstring();
    std::wstring path = L"Z:";
    for (const wchar_t* p = unixPath; *p; ++p) path += (*p == L'/') ? L'\\' : *p;
    return path;
}

bool SetScenario(const std::string& json)
{
    // Written whole, then renamed: the service reads the file per request.
    const std::wstring folder = Folder();
    if (folder.empty()) return false;
    const std::wstring temp = folder + L"\\scenario.json.new";
    FILE* f = _wfopen(temp.c_str(), L"wb");
    if (f == nullptr) return false;
    const bool written = std::fwrite(json.data(), 1, json.size(), f) == json.size();
    std::fclose(f);
    return written && ::MoveFileExW(temp.c_str(), (folder + L"\\scenario.json").c_str(), MOVEFILE_REPLACE_EXISTING);
}

std::string LastRequest() { return ReadFile(Folder() + L"\\last_request.bin"); }

int RequestCount() { return std::atoi(ReadFile(Folder() + L"\\request_count").c_str()); }

std::string JsonString(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof(escape), "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

}  // namespace FeedService
