#pragma once
// Owns one WinInet handle (session, connection or request) and closes it
// exactly once. Move-only.

#include <windows.h>
#include <wininet.h>

class CInternetHandle {
public:
    CInternetHandle() = default;
    explicit CInternetHandle(HINTERNET handle) : m_hHandle(handle) {}
    ~CInternetHandle() { Close(); }

    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;
    CInternetHandle(CInternetHandle&& other) noexcept : m_hHandle(other.m_hHandle) { other.m_hHandle = nullptr; }
    CInternetHandle& operator=(CInternetHandle&& other) noexcept
    {
        if (this != &other) {
            Close();
            m_hHandle = other.m_hHandle;
            other.m_hHandle = nullptr;
        }
        return *this;
    }

    void Reset(HINTERNET handle)
    {
        Close();
        m_hHandle = handle;
    }

    void Close()
    {
        if (m_hHandle != nullptr) {
            ::InternetCloseHandle(m_hHandle);
            m_hHandle = nullptr;
        }
    }

    HINTERNET Get() const { return m_hHandle; }
    explicit operator bool() const { return m_hHandle != nullptr; }

private:
    HINTERNET m_hHandle = nullptr;
};
