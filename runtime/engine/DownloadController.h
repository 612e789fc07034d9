#pragma once
// Downloads of every browser. The engine saves each one under a generated
// name in a staging folder of the runtime; the client decides where it goes
// (or that it does not), and the finished file is moved there. A file the
// client did not take, or could not be placed, is removed.

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "runtime/engine/DevToolsConnection.h"
#include "runtime/engine/DownloadItem.h"

namespace vxrt {

class BrowserImpl;

class DownloadController {
public:
    DownloadController();
    ~DownloadController();
    // Runtime start: the staging folder and the engine's download behaviour.
    bool Start(DevToolsConnection& devtools);
    // Runtime end: unfinished downloads are dropped with their files.
    void Stop();
    // Runtime thread: every protocol event.
    void OnEvent(const std::string& method, const Json& params, const std::string& sessionId);

    // UI thread, from the client's callbacks.
    void Continue(unsigned int id, const std::wstring& path, bool showDialog);
    void Cancel(unsigned int id);
    void DecisionMissing(unsigned int id);

    // Folder of the engine's files (Windows path).
    const std::wstring& StagingFolder() const { return m_staging; }

private:
    enum class Decision {
        Waiting,
        Accepted,
        Refused
    };
    struct Download {
        std::string guid;
        CefRefPtr<BrowserImpl> browser;
        DownloadState state;  // copied into a snapshot for each call
        Decision decision = Decision::Waiting;
        bool offered = false;     // OnBeforeDownload posted
        bool engineDone = false;  // the staged file is complete
        bool finished = false;    // reported complete, cancelled or failed
        std::wstring target;
    };
    typedef std::shared_ptr<Download> DownloadPtr;

    DownloadPtr Find(unsigned int id);
    void Offer(DownloadPtr d);
    void Report(DownloadPtr d);
    void Finish(DownloadPtr d);
    void Drop(DownloadPtr d, bool askEngine);
    std::wstring StagedFile(const Download& d) const;

    std::mutex m_lock;
    std::map<std::string, DownloadPtr> m_byGuid;
    std::map<unsigned int, DownloadPtr> m_byId;
    std::deque<std::pair<std::string, std::string>> m_mimeByUrl;  // recent responses
    unsigned int m_nextId = 1;
    std::wstring m_staging;
};

// Longest name SafeDownloadName gives, in UTF-16 units.
const size_t kMaxDownloadName = 120;

// A suggested name made safe to save under in a folder of the user's
// choice: no folder parts, no device names, no trailing dots or blanks, at
// most kMaxDownloadName units with its extension kept; "download" when
// nothing usable remains.
std::wstring SafeDownloadName(const std::wstring& suggested);

// Places a finished file at target without ever leaving a partial file
// there: a move on one volume, else a copy beside the target that is then
// renamed over it. Returns false (and leaves target untouched) on failure.
bool PlaceFile(const std::wstring& source, const std::wstring& target);

}  // namespace vxrt
