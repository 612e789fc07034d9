// Downloads against a real engine: the client is told what comes, chooses a
// place (directly or in the save dialog) or not, and finds exactly the
// served bytes there — or nothing at all.
#include "ShellBrowserFixture.h"

#include "runtime/engine/DownloadController.h"
#include "runtime/engine/Runtime.h"

using namespace vxtest;

namespace {

std::string Expected()
{
    std::string s(300000, '\0');
    for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<char>(i % 251);
    return s;
}

class DownloadTest : public ShellBrowserTest {
protected:
    void SetUp() override
    {
        ShellBrowserTest::SetUp();
        folder = UniqueTempDir(L"vxrt-saved");
    }
    void StartDownload()
    {
        Open("/title");
        client->browsers[0]->GetMainFrame()->LoadURL(CefString(server->Url("/data.bin")));
    }
    bool WaitFinished()
    {
        return Pump([&] { return !client->updates.empty() && !client->updates.back().inProgress; });
    }
    std::wstring Staging() { return vxrt::Runtime::Get()->Downloads().StagingFolder(); }
    std::wstring folder;
};

TEST_F(DownloadTest, ContinueToAPathWritesTheExactBytes)
{
    std::wstring target = folder + L"\\saved.bin";
    client->answerDownload = [&](CefRefPtr<CefBeforeDownloadCallback> cb) { cb->Continue(CefString(target), false); };
    StartDownload();
    ASSERT_TRUE(WaitFinished());
    ASSERT_EQ(client->beforeDownloads.size(), 1u);
    const DownloadSeen& d = client->beforeDownloads[0];
    EXPECT_EQ(d.url, server->Url("/data.bin"));
    EXPECT_EQ(d.name, "data.bin");
    EXPECT_EQ(d.total, 300000);
    EXPECT_EQ(d.mime, "application/x-vornex-test");
    const DownloadSeen& last = client->updates.back();
    EXPECT_TRUE(last.complete);
    EXPECT_FALSE(last.canceled);
    EXPECT_EQ(last.path, target);
    EXPECT_EQ(last.received, 300000);
    EXPECT_TRUE(ReadWholeFile(target) == Expected());
    EXPECT_EQ(FilesIn(Staging()), 0);
}

TEST_F(DownloadTest, SaveDialogProposesTheSuggestedNameAndSavesWhereTheUserTyped)
{
    std::wstring target = folder + L"\\typed.bin";
    client->answerDownload = [](CefRefPtr<CefBeforeDownloadCallback> cb) { cb->Continue(CefString(L""), true); };
    SaveDialogDriver dialog(target);
    StartDownload();
    ASSERT_TRUE(WaitFinished());
    while (!dialog.Done()) Sleep(10);
    EXPECT_EQ(dialog.proposed, L"data.bin");
    EXPECT_TRUE(client->updates.back().complete);
    EXPECT_TRUE(ReadWholeFile(target) == Expected());
}

TEST_F(DownloadTest, RefusedDownloadsLeaveNoFile)
{
    struct Case {
        const char* what;
        std::function<void(CefRefPtr<CefBeforeDownloadCallback>)> answer;
        bool dialog;
    };
    std::wstring target = folder + L"\\never.bin";
    std::wstring unwritable = folder + L"\\no such folder\\x.bin";
    const Case cases[] = {
        {"dialog cancelled", [&](CefRefPtr<CefBeforeDownloadCallback> cb) { cb->Continue(CefString(target), true); },
         true},
        {"no Continue", nullptr, false},
        {"unwritable place",
         [&](CefRefPtr<CefBeforeDownloadCallback> cb) { cb->Continue(CefString(unwritable), false); }, false},
    };
    Open("/title");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        client->answerDownload = c.answer;
        size_t offered = client->beforeDownloads.size();
        std::unique_ptr<SaveDialogDriver> dialog(c.dialog ? new SaveDialogDriver(L"") : nullptr);
        client->browsers[0]->GetMainFrame()->LoadURL(CefString(server->Url("/data.bin")));
        ASSERT_TRUE(Pump([&] { return client->beforeDownloads.size() > offered; }));
        // The engine's file goes too, once it has stopped writing.
        EXPECT_TRUE(Pump([&] { return FilesIn(Staging()) == 0; }, 15000));
        EXPECT_EQ(FilesIn(folder), 0);
        dialog.reset();
    }
    // Whoever took a download and lost it was told so; the final report may
    // arrive after the engine's file is gone.
    Pump(
        [&] {
            return !client->updates.empty() && (client->updates.back().canceled || client->updates.back().complete);
        },
        10000);
    ASSERT_FALSE(client->updates.empty());
    EXPECT_TRUE(client->updates.back().canceled);
    EXPECT_FALSE(client->updates.back().complete);
}

}  // namespace
