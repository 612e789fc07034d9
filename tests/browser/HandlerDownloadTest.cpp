// Downloads through the program's handler against a real engine: every one
// opens the save dialog with the suggested name proposed, and whatever name
// the server suggests, accepting the proposal in the folder the user picked
// puts exactly one file there and nothing anywhere else.
#include "BrowserHostFixture.h"

using namespace vxtest;

namespace {

// Percent-encodes UTF-8 for the page server's ?n= parameter.
std::string Encoded(const std::wstring& name)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : CefString(name).ToString()) {
        if (isalnum(c) || c == '.' || c == '-' || c == '_') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::vector<std::wstring> FileNamesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE f = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (f == INVALID_HANDLE_VALUE) return names;
    do {
        if (wcscmp(fd.cFileName, L".") && wcscmp(fd.cFileName, L"..")) names.push_back(fd.cFileName);
    } while (FindNextFileW(f, &fd));
    FindClose(f);
    return names;
}

class HandlerDownloadTest : public BrowserHostTest {
protected:
    // Downloads /named?n=<name>, lets the dialog save the proposed name into
    // a fresh folder `chosen` inside a fresh folder `outer`, and waits until
    // the download has settled.
    void Download(const std::wstring& name)
    {
        outer = UniqueTempDir(L"vxbr-outer");
        chosen = outer + L"\\chosen";
        ASSERT_TRUE(CreateDirectoryW(chosen.c_str(), nullptr));
        proposed.clear();
        SaveDialogDriver dialog([&](const std::wstring& p) { return chosen + L"\\" + p; });
        Load(server->Url("/named?n=" + Encoded(name)));
        EXPECT_TRUE(PumpUntil([&] { return dialog.Done(); }, 60000));
        proposed = dialog.proposed;
        EXPECT_FALSE(dialog.Refused()) << "the save dialog refused the proposed name";
        // The file appears once the engine has finished and it was moved.
        PumpUntil([&] { return !FileNamesIn(chosen).empty(); }, 15000);
        PumpUntil([] { return false; }, 500);
    }
    std::wstring outer, chosen, proposed;
};

TEST_F(HandlerDownloadTest, SaveDialogProposesTheSuggestedName)
{
    Open("/title");
    Download(L"报告 2024.pdf");
    EXPECT_EQ(proposed, L"报告 2024.pdf");
    EXPECT_EQ(FileNamesIn(chosen), std::vector<std::wstring>{L"报告 2024.pdf"});
    EXPECT_EQ(ReadWholeFile(chosen + L"\\报告 2024.pdf"), std::string(1000, 'v'));
}

TEST_F(HandlerDownloadTest, HostileNamesLeaveOneFileInTheChosenFolderOnly)
{
    struct Case {
        const char* what;
        std::wstring name;
        size_t bytes;
    };
    const Case cases[] = {
        {"climbing out with backslashes", L"..\\..\\x.exe", 1000},
        {"climbing out with slashes", L"../../y.exe", 1000},
        {"absolute path", L"C:\\windows\\z.dll", 1000},
        {"300 characters", std::wstring(296, L'n') + L".txt", 1000},
        {"device name", L"CON", 1000},
        {"device name with extension", L"nul.txt", 1000},
        {"empty download", L"empty.bin", 0},
    };
    Open("/title");
    std::wstring temp = outer;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Download(c.name);
        EXPECT_FALSE(proposed.empty());
        EXPECT_EQ(proposed.find_first_of(L"\\/:"), std::wstring::npos) << CefString(proposed).ToString();
        EXPECT_LE(proposed.size(), 120u);
        // Exactly the proposed file, with the served bytes.
        std::vector<std::wstring> saved = FileNamesIn(chosen);
        ASSERT_EQ(saved.size(), 1u);
        EXPECT_EQ(saved[0], proposed);
        EXPECT_EQ(ReadWholeFile(chosen + L"\\" + saved[0]), std::string(c.bytes, 'v'));
        // Nothing beside the chosen folder, nor where the names point.
        EXPECT_EQ(FileNamesIn(outer), std::vector<std::wstring>{L"chosen"});
        for (const wchar_t* escaped : {L"x.exe", L"y.exe", L"z.dll"}) {
            EXPECT_FALSE(FileExists(outer + L"\\..\\" + escaped));
            EXPECT_FALSE(FileExists(std::wstring(L"C:\\windows\\") + escaped));
        }
    }
}

}  // namespace
