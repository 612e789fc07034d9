#pragma once
// Downloads: the item being fetched and the callbacks that steer it.

#include "runtime/CefBase.h"
#include "runtime/CefString.h"

class CefDownloadItem : public virtual CefBase {
public:
    virtual bool IsValid() = 0;
    virtual bool IsInProgress() = 0;
    virtual bool IsComplete() = 0;
    virtual bool IsCanceled() = 0;
    virtual long long GetCurrentSpeed() = 0;
    virtual int GetPercentComplete() = 0;
    virtual long long GetTotalBytes() = 0;
    virtual long long GetReceivedBytes() = 0;
    virtual CefString GetFullPath() = 0;
    virtual unsigned int GetId() = 0;
    virtual CefString GetURL() = 0;
    virtual CefString GetSuggestedFileName() = 0;
    virtual CefString GetMimeType() = 0;
};

class CefBeforeDownloadCallback : public virtual CefBase {
public:
    // Saves to download_path (empty = the suggested name in the default
    // folder); show_dialog lets the user choose the place first.
    virtual void Continue(const CefString& download_path, bool show_dialog) = 0;
};

class CefDownloadItemCallback : public virtual CefBase {
public:
    virtual void Cancel() = 0;
};
