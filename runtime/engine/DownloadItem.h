#pragma once
// A snapshot of one download as the client sees it in a handler call.

#include <string>

#include "runtime/CefDownload.h"

namespace vxrt {

struct DownloadState {
    unsigned int id = 0;
    std::string url, suggestedName, mimeType;
    std::wstring fullPath;
    long long totalBytes = -1, receivedBytes = 0;
    bool inProgress = true, complete = false, canceled = false;
};

class DownloadItem : public CefDownloadItem {
public:
    explicit DownloadItem(const DownloadState& state) : m_s(state) {}

    bool IsValid() override { return true; }
    bool IsInProgress() override { return m_s.inProgress; }
    bool IsComplete() override { return m_s.complete; }
    bool IsCanceled() override { return m_s.canceled; }
    long long GetCurrentSpeed() override { return 0; }
    int GetPercentComplete() override
    {
        if (m_s.totalBytes <= 0) return -1;
        return static_cast<int>(m_s.receivedBytes * 100 / m_s.totalBytes);
    }
    long long GetTotalBytes() override { return m_s.totalBytes; }
    long long GetReceivedBytes() override { return m_s.receivedBytes; }
    CefString GetFullPath() override { return CefString(m_s.fullPath); }
    unsigned int GetId() override { return m_s.id; }
    CefString GetURL() override { return CefString(m_s.url); }
    CefString GetSuggestedFileName() override { return CefString(m_s.suggestedName); }
    CefString GetMimeType() override { return CefString(m_s.mimeType); }

    IMPLEMENT_REFCOUNTING(DownloadItem);

private:
    const DownloadState m_s;
};

}  // namespace vxrt
