// The native build formats with a portable copy of the system formatter's
// rules; here, under Windows, both run over the same cases and must agree.
#include "ui/base/WideFormat.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Portable(const wchar_t* format, ...)
{
    wchar_t buffer[1025];
    va_list args;
    va_start(args, format);
    SkinUI::WideFormatV(buffer, 1025, format, args);
    va_end(args);
    return buffer;
}

std::wstring System(const wchar_t* format, ...)
{
    wchar_t buffer[1025];
    va_list args;
    va_start(args, format);
    ::wvsprintfW(buffer, format, args);
    va_end(args);
    return buffer;
}

}  // namespace

TEST(WideFormat, IntegersAgreeWithTheSystemFormatter)
{
    const wchar_t* formats[] = {
        L"%d",  L"%i",   L"%5d", L"%-5d|", L"%05d", L"%.3d", L"%u",       L"%x",     L"%X", L"%#x",
        L"%#X", L"%08X", L"%hd", L"%hu",   L"%ld",  L"%lx",  L"[%-8.3d]", L"%%%d%%", L"%q",
    };
    const int values[] = {0, 7, -42, 255, 65537, -2147483647 - 1, 2147483647};
    for (const wchar_t* f : formats) {
        for (int v : values) {
            EXPECT_EQ(System(f, v), Portable(f, v)) << f << " " << v;
        }
    }
}

TEST(WideFormat, TextAndCharactersAgreeWithTheSystemFormatter)
{
    const wchar_t* wideFormats[] = {L"%s", L"%ls", L"%10s|", L"%-10s|", L"%.2s", L"%5.1s|"};
    for (const wchar_t* f : wideFormats) {
        EXPECT_EQ(System(f, L"text"), Portable(f, L"text")) << f;
    }
    const wchar_t* narrowFormats[] = {L"%S", L"%hs", L"%8hs|"};
    for (const wchar_t* f : narrowFormats) {
        EXPECT_EQ(System(f, "bytes"), Portable(f, "bytes")) << f;
    }
    EXPECT_EQ(System(L"%c%c", L'a', L'\x4e2d'), Portable(L"%c%c", L'a', L'\x4e2d'));
    EXPECT_EQ(System(L"%C|%hc", 'n', 'm'), Portable(L"%C|%hc", 'n', 'm'));
    EXPECT_EQ(System(L"%3c|", L'x'), Portable(L"%3c|", L'x'));
    const std::wstring longText(3000, L'z');
    EXPECT_EQ(System(L"%s", longText.c_str()), Portable(L"%s", longText.c_str()));
}
