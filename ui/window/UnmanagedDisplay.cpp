#include "ui/window/UnmanagedDisplay.h"

#include "ui/base/Platform.h"

namespace SkinUI {

namespace {

bool ReadUnmanaged()
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    wchar_t value[8] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t), type = 0;
    const bool read = ::RegQueryValueExW(key, L"Managed", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                      ERROR_SUCCESS;
    ::RegCloseKey(key);
    return read && type == REG_SZ && (value[0] == L'N' || value[0] == L'n');
}

}  // namespace

bool IsUnmanagedDisplay()
{
    // Read once: the setting applies to the whole session.
    static const bool unmanaged = ReadUnmanaged();
    return unmanaged;
}

}  // namespace SkinUI
