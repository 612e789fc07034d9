#pragma once
// Plain records and values of the runtime interface.

#include <windows.h>

#include "runtime/CefString.h"

typedef unsigned int cef_color_t;

typedef enum {
    LOGSEVERITY_DEFAULT = 0,
    LOGSEVERITY_VERBOSE = 1,
    LOGSEVERITY_INFO = 2,
    LOGSEVERITY_WARNING = 3,
    LOGSEVERITY_ERROR = 4,
    LOGSEVERITY_DISABLE = 99,
} cef_log_severity_t;

// Start-up settings of the browser process. Callers zero the record and set
// `size`; cef_initialize refuses a record of another size, which is how a
// program built against another layout is caught.
typedef struct _cef_settings_t {
    size_t size;
    int no_sandbox;
    cef_string_t browser_subprocess_path;
    // Executable of the browser engine; empty = look in the usual places.
    cef_string_t engine_path;
    int multi_threaded_message_loop;
    int windowless_rendering_enabled;
    int command_line_args_disabled;
    // Profile folder of the engine (cookies, cache, local storage).
    cef_string_t cache_path;
    cef_string_t user_data_path;
    int persist_session_cookies;
    cef_string_t user_agent;
    cef_string_t product_version;
    cef_string_t locale;
    cef_string_t log_file;
    int log_severity;
    cef_string_t javascript_flags;
    cef_string_t resources_dir_path;
    int remote_debugging_port;
    cef_color_t background_color;
} cef_settings_t;

#ifdef _WIN64
#else
static_assert(sizeof(cef_settings_t) == 156, "settings record layout of this runtime version");
#endif

typedef struct _cef_main_args_t {
    HINSTANCE instance;
} cef_main_args_t;

class CefMainArgs : public cef_main_args_t {
public:
    CefMainArgs() { instance = nullptr; }
    explicit CefMainArgs(HINSTANCE hInstance) { instance = hInstance; }
};

class CefSettings : public cef_settings_t {
public:
    CefSettings()
    {
        ZeroMemory(static_cast<cef_settings_t*>(this), sizeof(cef_settings_t));
        size = sizeof(cef_settings_t);
    }
    ~CefSettings();
    CefSettings(const CefSettings&) = delete;
    CefSettings& operator=(const CefSettings&) = delete;
};

// Frees every owned string field of a settings record.
void cef_settings_clear(cef_settings_t* settings);
inline CefSettings::~CefSettings() { cef_settings_clear(this); }

// Where and how the browser window is created.
class CefWindowInfo {
public:
    CefWindowInfo() {}
    void SetAsChild(HWND parent, const RECT& rect)
    {
        style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VISIBLE;
        parent_window = parent;
        x = rect.left;
        y = rect.top;
        width = rect.right - rect.left;
        height = rect.bottom - rect.top;
    }
    void SetAsPopup(HWND parent, const CefString& name)
    {
        style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VISIBLE;
        parent_window = parent;
        x = y = width = height = CW_USEDEFAULT;
        window_name = name;
    }

    DWORD ex_style = 0;
    CefString window_name;
    DWORD style = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    HWND parent_window = nullptr;
    HMENU menu = nullptr;
    int windowless_rendering_enabled = 0;
    int transparent_painting_enabled = 0;
    HWND window = nullptr;  // filled by the runtime
};

typedef enum {
    STATE_DEFAULT = 0,
    STATE_ENABLED,
    STATE_DISABLED,
} cef_state_t;

struct CefBrowserSettings {
    CefBrowserSettings() : size(sizeof(CefBrowserSettings)) {}
    size_t size;
    cef_state_t javascript = STATE_DEFAULT;
    cef_state_t javascript_open_windows = STATE_DEFAULT;
    cef_state_t images = STATE_DEFAULT;
    cef_state_t local_storage = STATE_DEFAULT;
    cef_color_t background_color = 0;
    int default_font_size = 0;
};

struct CefPopupFeatures {
    int x = 0, xSet = 0, y = 0, ySet = 0;
    int width = 0, widthSet = 0, height = 0, heightSet = 0;
    int menuBarVisible = 1, statusBarVisible = 1, toolBarVisible = 1, scrollbarsVisible = 1;
};

// Network errors reported by CefLoadHandler::OnLoadError.
typedef enum {
    ERR_NONE = 0,
    ERR_FAILED = -2,
    ERR_ABORTED = -3,
    ERR_INVALID_ARGUMENT = -4,
    ERR_INVALID_HANDLE = -5,
    ERR_FILE_NOT_FOUND = -6,
    ERR_TIMED_OUT = -7,
    ERR_FILE_TOO_BIG = -8,
    ERR_UNEXPECTED = -9,
    ERR_ACCESS_DENIED = -10,
    ERR_NOT_IMPLEMENTED = -11,
    ERR_INSUFFICIENT_RESOURCES = -12,
    ERR_BLOCKED_BY_CLIENT = -20,
    ERR_CONNECTION_CLOSED = -100,
    ERR_CONNECTION_RESET = -101,
    ERR_CONNECTION_REFUSED = -102,
    ERR_CONNECTION_ABORTED = -103,
    ERR_CONNECTION_FAILED = -104,
    ERR_NAME_NOT_RESOLVED = -105,
    ERR_INTERNET_DISCONNECTED = -106,
    ERR_SSL_PROTOCOL_ERROR = -107,
    ERR_ADDRESS_INVALID = -108,
    ERR_ADDRESS_UNREACHABLE = -109,
    ERR_TUNNEL_CONNECTION_FAILED = -111,
    ERR_CONNECTION_TIMED_OUT = -118,
    ERR_CERT_COMMON_NAME_INVALID = -200,
    ERR_CERT_DATE_INVALID = -201,
    ERR_CERT_AUTHORITY_INVALID = -202,
    ERR_INVALID_URL = -300,
    ERR_DISALLOWED_URL_SCHEME = -301,
    ERR_UNKNOWN_URL_SCHEME = -302,
    ERR_TOO_MANY_REDIRECTS = -310,
    ERR_UNSAFE_REDIRECT = -311,
    ERR_UNSAFE_PORT = -312,
    ERR_INVALID_RESPONSE = -320,
    ERR_EMPTY_RESPONSE = -324,
    ERR_RESPONSE_HEADERS_TOO_BIG = -325,
    ERR_CACHE_MISS = -400,
    ERR_INSECURE_RESPONSE = -501,
} cef_errorcode_t;

typedef enum {
    TS_ABNORMAL_TERMINATION,
    TS_PROCESS_WAS_KILLED,
    TS_PROCESS_CRASHED,
} cef_termination_status_t;

typedef enum {
    EVENTFLAG_NONE = 0,
    EVENTFLAG_CAPS_LOCK_ON = 1 << 0,
    EVENTFLAG_SHIFT_DOWN = 1 << 1,
    EVENTFLAG_CONTROL_DOWN = 1 << 2,
    EVENTFLAG_ALT_DOWN = 1 << 3,
    EVENTFLAG_LEFT_MOUSE_BUTTON = 1 << 4,
    EVENTFLAG_MIDDLE_MOUSE_BUTTON = 1 << 5,
    EVENTFLAG_RIGHT_MOUSE_BUTTON = 1 << 6,
} cef_event_flags_t;

typedef enum {
    PID_BROWSER,
    PID_RENDERER,
} cef_process_id_t;

typedef cef_errorcode_t ErrorCode;
