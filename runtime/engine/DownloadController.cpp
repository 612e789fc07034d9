#include "runtime/engine/DownloadController.h"

#include <commdlg.h>

#include <vector>

#include "runtime/engine/BrowserImpl.h"
#include "runtime/engine/EngineProcess.h"
#include "runtime/engine/Runtime.h"

namespace vxrt {

namespace {

const size_t kMimeMemory = 64;

std::string Str(const Json& o, const char* name)
{
    auto it = o.find(name);
    return it != o.end() && it->is_string() ? it->get<std::string>() : std::string();
}

long long Num(const Json& o, const char* name, long long fallback)
{
    auto it = o.find(name);
    return it != o.end() && it->is_number() ? static_cast<long long>(it->get<double>()) : fallback;
}

}  // namespace

std::wstring SafeDownloadName(const std::wstring& suggested)
{
    // Separators and characters Windows refuses in a name become '_', so
    // the name can only ever name a file in the chosen folder.
    std::wstring name;
    for (wchar_t c : suggested) name += (c < 32 || wcschr(L"\\/:*?\"<>|", c)) ? L'_' : c;
    // Windows drops trailing dots and blanks, which would turn ".." into
    // the parent folder and "a.exe." into "a.exe".
    while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
    if (name.empty()) return L"download";
    // Device names (CON, NUL, COM1, ...), with or without an extension,
    // open the device instead of a file: NUL would swallow the download and
    // report it saved.
    static const wchar_t* const kDevices[] = {L"CON",  L"PRN",  L"AUX",  L"NUL",  L"CONIN$", L"CONOUT$",
                                              L"COM1", L"COM2", L"COM3", L"COM4", L"COM5",   L"COM6",
                                              L"COM7", L"COM8", L"COM9", L"LPT1", L"LPT2",   L"LPT3",
                                              L"LPT4", L"LPT5", L"LPT6", L"LPT7", L"LPT8",   L"LPT9"};
    size_t stemEnd = name.find(L'.');
    std::wstring stem = name.substr(0, stemEnd);
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    for (const wchar_t* device : kDevices)
        if (_wcsicmp(stem.c_str(), device) == 0) {
            name.insert(0, 1, L'_');
            break;
        }
    // Long names leave room for the folder within the path length that
    // the save dialog and file moves accept; the extension is kept.
    if (name.size() > kMaxDownloadName) {
        size_t dot = name.rfind(L'.');
        std::wstring ext = dot != std::wstring::npos && name.size() - dot <= 16 ? name.substr(dot) : std::wstring();
        name = name.substr(0, kMaxDownloadName - ext.size());
        // Never split a surrogate pair.
        if (!name.empty() && name.back() >= 0xD800 && name.back() <= 0xDBFF) name.pop_back();
        while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
        name += ext;
    }
    return name;
}

namespace {

std::wstring FileNameOf(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring DefaultFolder()
{
    wchar_t profile[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH);
    std::wstring dir = (n > 0 && n < MAX_PATH) ? std::wstring(profile) : std::wstring(L".");
    dir += L"\\Downloads";
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

// The save dialog; false when the user cancels it.
bool AskSavePath(HWND owner, const std::wstring& proposed, std::wstring& chosen)
{
    std::vector<wchar_t> file(32768, 0);
    std::wstring name = FileNameOf(proposed);
    std::wstring folder = proposed.size() > name.size() ? proposed.substr(0, proposed.size() - name.size()) : L"";
    // The dialog's own buffers hold MAX_PATH characters: a longer proposal
    // overruns them (seen under Wine), so such a name is not proposed.
    if (name.size() < MAX_PATH) wcscpy(file.data(), name.c_str());
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = L"*.*\0*.*\0\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&ofn)) return false;
    chosen = file.data();
    return !chosen.empty();
}

// The callbacks reach the controller through the running runtime: a client
// may keep one past the runtime's end, when it must do nothing.
class BeforeDownloadCallback : public CefBeforeDownloadCallback {
public:
    explicit BeforeDownloadCallback(unsigned int id) : m_id(id) {}
    void Continue(const CefString& path, bool showDialog) override
    {
        if (m_used) return;
        m_used = true;
        if (Runtime* rt = Runtime::Get()) rt->Downloads().Continue(m_id, path.ToWString(), showDialog);
    }
    bool Used() const { return m_used; }
    IMPLEMENT_REFCOUNTING(BeforeDownloadCallback);

private:
    unsigned int m_id;
    bool m_used = false;
};

class DownloadItemCallback : public CefDownloadItemCallback {
public:
    explicit DownloadItemCallback(unsigned int id) : m_id(id) {}
    void Cancel() override
    {
        if (Runtime* rt = Runtime::Get()) rt->Downloads().Cancel(m_id);
    }
    IMPLEMENT_REFCOUNTING(DownloadItemCallback);

private:
    unsigned int m_id;
};

}  // namespace

bool PlaceFile(const std::wstring& source, const std::wstring& target)
{
    if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    std::wstring part = target + L".vxpart";
    if (!CopyFileW(source.c_str(), part.c_str(), FALSE)) {
        DeleteFileW(part.c_str());
        return false;
    }
    if (!MoveFileExW(part.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(part.c_str());
        return false;
    }
    DeleteFileW(source.c_str());
    return true;
}

DownloadController::DownloadController() {}
DownloadController::~DownloadController() {}

bool DownloadController::Start(DevToolsConnection& devtools)
{
    wchar_t tmp[MAX_PATH];
    DWORD n = GetTempPathW(MAX_PATH, tmp);
    if (n == 0 || n >= MAX_PATH) return false;
    wchar_t name[64];
    wsprintfW(name, L"vxrt-downloads-%lu-%lu", GetCurrentProcessId(), GetTickCount());
    m_staging = std::wstring(tmp) + name;
    if (!CreateDirectoryW(m_staging.c_str(), nullptr)) return false;
    // Under Wine the engine is a Linux program and needs the Linux path.
    std::string enginePath = UnixPathOf(m_staging);
    if (enginePath.empty()) enginePath = CefString(m_staging).ToString();
    Json r = devtools.CallSync("Browser.setDownloadBehavior",
                               {{"behavior", "allowAndName"}, {"downloadPath", enginePath}, {"eventsEnabled", true}},
                               "", 10000);
    return r.is_object();
}

void DownloadController::Stop()
{
    std::map<std::string, DownloadPtr> all;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        all.swap(m_byGuid);
        m_byId.clear();
    }
    all.clear();
    if (m_staging.empty()) return;
    // Whatever is left here was never placed: remove it with the folder.
    WIN32_FIND_DATAW fd;
    HANDLE f = FindFirstFileW((m_staging + L"\\*").c_str(), &fd);
    if (f != INVALID_HANDLE_VALUE) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((m_staging + L"\\" + fd.cFileName).c_str());
        } while (FindNextFileW(f, &fd));
        FindClose(f);
    }
    RemoveDirectoryW(m_staging.c_str());
}

std::wstring DownloadController::StagedFile(const Download& d) const
{
    return m_staging + L"\\" + CefString(d.guid).ToWString();
}

DownloadController::DownloadPtr DownloadController::Find(unsigned int id)
{
    std::lock_guard<std::mutex> lock(m_lock);
    auto it = m_byId.find(id);
    return it != m_byId.end() ? it->second : nullptr;
}

void DownloadController::OnEvent(const std::string& method, const Json& params, const std::string& sessionId)
{
    if (!params.is_object()) return;
    if (method == "Network.responseReceived") {
        // The engine's download events carry no MIME type: remember it from
        // the response that started the download.
        auto resp = params.find("response");
        if (resp == params.end() || !resp->is_object()) return;
        std::lock_guard<std::mutex> lock(m_lock);
        m_mimeByUrl.emplace_back(Str(*resp, "url"), Str(*resp, "mimeType"));
        if (m_mimeByUrl.size() > kMimeMemory) m_mimeByUrl.pop_front();
        return;
    }
    if (!sessionId.empty()) return;
    Runtime* rt = Runtime::Get();
    if (!rt) return;
    if (method == "Browser.downloadWillBegin") {
        std::string guid = Str(params, "guid");
        if (guid.empty()) return;
        // The main frame's id is its target's id; a download from a
        // sub-frame goes to the browser the user works in.
        CefRefPtr<BrowserImpl> browser = rt->BrowserByTarget(Str(params, "frameId"));
        auto d = std::make_shared<Download>();
        d->guid = guid;
        d->browser = browser;
        d->state.url = Str(params, "url");
        d->state.suggestedName = Str(params, "suggestedFilename");
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_byGuid.count(guid)) return;
        for (auto it = m_mimeByUrl.rbegin(); it != m_mimeByUrl.rend(); ++it)
            if (it->first == d->state.url) {
                d->state.mimeType = it->second;
                break;
            }
        d->state.id = m_nextId++;
        m_byGuid[guid] = d;
        m_byId[d->state.id] = d;
        return;
    }
    if (method == "Browser.downloadProgress") {
        DownloadPtr d;
        std::string state = Str(params, "state");
        bool offer = false;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            auto it = m_byGuid.find(Str(params, "guid"));
            if (it == m_byGuid.end()) return;
            d = it->second;
            if (d->finished) return;
            d->state.totalBytes = Num(params, "totalBytes", d->state.totalBytes);
            d->state.receivedBytes = Num(params, "receivedBytes", d->state.receivedBytes);
            if (state == "completed") d->engineDone = true;
            // The client hears of a download once its size is known.
            if (!d->offered) {
                d->offered = true;
                offer = true;
            }
        }
        DownloadController* self = this;
        if (offer) rt->Ui().Post([self, d] { self->Offer(d); });
        if (state == "canceled") {
            rt->Ui().Post([self, d] { self->Drop(d, false); });
        } else if (state == "completed") {
            rt->Ui().Post([self, d] {
                if (d->decision == Decision::Accepted) self->Finish(d);
            });
        } else if (!offer) {
            rt->Ui().Post([self, d] {
                if (d->decision == Decision::Accepted && !d->finished) self->Report(d);
            });
        }
    }
}

void DownloadController::Offer(DownloadPtr d)
{
    if (d->finished) return;
    CefRefPtr<CefDownloadHandler> handler;
    if (d->browser)
        if (CefRefPtr<CefClient> client = d->browser->GetClient()) handler = client->GetDownloadHandler();
    CefRefPtr<BeforeDownloadCallback> callback = new BeforeDownloadCallback(d->state.id);
    if (handler) {
        DownloadState state;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            state = d->state;
        }
        CefRefPtr<DownloadItem> item = new DownloadItem(state);
        handler->OnBeforeDownload(d->browser.get(), item.get(), CefString(d->state.suggestedName), callback.get());
    }
    // Nobody chose a place: the download is not kept.
    if (!callback->Used()) DecisionMissing(d->state.id);
}

void DownloadController::Continue(unsigned int id, const std::wstring& path, bool showDialog)
{
    DownloadPtr d = Find(id);
    if (!d || d->finished || d->decision != Decision::Waiting) return;
    std::wstring suggested = SafeDownloadName(CefString(d->state.suggestedName).ToWString());
    std::wstring target = path;
    if (target.empty())
        target = DefaultFolder() + L"\\" + suggested;
    else if (target.back() == L'\\' || target.back() == L'/')
        target += suggested;
    if (showDialog) {
        HWND owner =
            d->browser && d->browser->GetWindowHandle() ? GetAncestor(d->browser->GetWindowHandle(), GA_ROOT) : nullptr;
        std::wstring proposed = path.empty() ? suggested : target;
        std::wstring chosen;
        if (!AskSavePath(owner, proposed, chosen)) {
            Drop(d, true);
            return;
        }
        target = chosen;
    }
    bool done;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        d->target = target;
        d->decision = Decision::Accepted;
        d->state.fullPath = target;
        done = d->engineDone;
    }
    if (done)
        Finish(d);
    else
        Report(d);
}

void DownloadController::Cancel(unsigned int id)
{
    DownloadPtr d = Find(id);
    if (d && !d->finished) Drop(d, true);
}

void DownloadController::DecisionMissing(unsigned int id)
{
    DownloadPtr d = Find(id);
    if (d && !d->finished && d->decision == Decision::Waiting) Drop(d, true);
}

void DownloadController::Report(DownloadPtr d)
{
    if (!d->browser) return;
    CefRefPtr<CefClient> client = d->browser->GetClient();
    CefRefPtr<CefDownloadHandler> handler = client ? client->GetDownloadHandler() : nullptr;
    if (!handler) return;
    DownloadState state;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        state = d->state;
    }
    CefRefPtr<DownloadItem> item = new DownloadItem(state);
    CefRefPtr<DownloadItemCallback> callback = new DownloadItemCallback(d->state.id);
    handler->OnDownloadUpdated(d->browser.get(), item.get(), callback.get());
}

void DownloadController::Finish(DownloadPtr d)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (d->finished) return;
        d->finished = true;
    }
    bool placed = PlaceFile(StagedFile(*d), d->target);
    // The place could not be written: nothing is left there or here.
    if (!placed) DeleteFileW(StagedFile(*d).c_str());
    {
        std::lock_guard<std::mutex> lock(m_lock);
        d->state.inProgress = false;
        if (placed) {
            d->state.complete = true;
            if (d->state.totalBytes >= 0) d->state.receivedBytes = d->state.totalBytes;
        } else {
            d->state.canceled = true;
            d->state.fullPath.clear();
        }
    }
    Report(d);
    std::lock_guard<std::mutex> lock(m_lock);
    m_byGuid.erase(d->guid);
    m_byId.erase(d->state.id);
}

void DownloadController::Drop(DownloadPtr d, bool askEngine)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (d->finished) return;
        d->finished = true;
        d->decision = Decision::Refused;
        d->state.inProgress = false;
        d->state.canceled = true;
        d->state.fullPath.clear();
    }
    Runtime* rt = Runtime::Get();
    if (askEngine && rt && !d->engineDone) rt->DevTools().Call("Browser.cancelDownload", {{"guid", d->guid}}, "");
    DeleteFileW(StagedFile(*d).c_str());
    Report(d);
    std::lock_guard<std::mutex> lock(m_lock);
    m_byGuid.erase(d->guid);
    m_byId.erase(d->state.id);
}

}  // namespace vxrt
