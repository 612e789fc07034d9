// The context menu against a real engine: what the client is told about the
// place that was clicked, the menu it gets, the menu that is shown, and what
// the chosen command does.
#include "ShellBrowserFixture.h"

#include "runtime/engine/Clipboard.h"

using namespace vxtest;

namespace {

const std::vector<int> kPageIds = {100, 101, 102, 103, 104, -1, 131, 132};
const std::vector<int> kEditIds = {110, 111, -1, 112, 113, 114, 115, -1, 116};
const std::vector<int> kSelectionIds = {113};

std::vector<int> IdsOf(const ContextSeen& c)
{
    std::vector<int> ids;
    for (const auto& i : c.items) ids.push_back(i.type == MENUITEMTYPE_SEPARATOR ? -1 : i.id);
    return ids;
}

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

class ContextMenuTest : public ShellBrowserTest {
protected:
    // Opens the menu with a right click at (x, y) (or the menu key when x
    // is negative), and picks the item `downs` steps down, or dismisses it.
    bool OpenMenu(int x, int y, int downs)
    {
        size_t before = client->contexts.size();
        int dismissedBefore = client->dismissed;
        driver.reset(new MenuDriver(downs));
        if (x < 0)
            Post(WM_KEYDOWN, VK_APPS, 0, 0);
        else
            RightClick(x, y);
        bool ok = Pump([&] { return client->dismissed > dismissedBefore; }, 60000);
        while (!driver->Done()) Sleep(10);
        shown = driver->shown;
        driver.reset();
        return ok && client->contexts.size() == before + 1;
    }
    std::unique_ptr<MenuDriver> driver;
    std::vector<std::pair<int, std::wstring>> shown;
};

TEST_F(ContextMenuTest, HitTestFillsFlagsAddressesAndDefaultModel)
{
    struct Case {
        const char* what;
        int x, y;
        const char* script;  // run before the click
        int flags;
        const char* link;
        const char* source;
        int media;
        const char* selection;
        bool editable;
        const std::vector<int>* ids;
    };
    const Case cases[] = {
        {"plain page", 700, 500, "", 1, "", "", 0, "", false, &kPageIds},
        {"link", 100, 50, "", 1 | 4, "/target", "", 0, "", false, &kPageIds},
        {"image", 100, 150, "", 1 | 8, "", "/pic.png", 1, "", false, &kPageIds},
        {"image in a link", 100, 250, "", 1 | 4 | 8, "/imgtarget", "/pic2.png", 1, "", false, &kPageIds},
        {"selected text", 400, 50, "getSelection().selectAllChildren(document.getElementById('txt'))", 1 | 16, "", "",
         0, "Select me please", false, &kSelectionIds},
        {"text field", 450, 180, "getSelection().removeAllRanges()", 1 | 32, "", "", 0, "", true, &kEditIds},
        {"menu key at the focused field", -1, -1,
         "var f=document.getElementById('fld');f.focus();f.setSelectionRange(0,5)", 1 | 16 | 32, "", "", 0, "field",
         true, &kEditIds},
    };
    Open("/ctx");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (*c.script) RunScript(c.script);
        ASSERT_TRUE(OpenMenu(c.x, c.y, -1));
        const ContextSeen& seen = client->contexts.back();
        EXPECT_EQ(seen.flags, c.flags);
        EXPECT_TRUE(*c.link ? EndsWith(seen.link, c.link) : seen.link.empty()) << seen.link;
        EXPECT_TRUE(*c.source ? EndsWith(seen.source, c.source) : seen.source.empty()) << seen.source;
        EXPECT_EQ(seen.media, c.media);
        EXPECT_EQ(seen.selection, c.selection);
        EXPECT_EQ(seen.editable, c.editable);
        EXPECT_EQ(IdsOf(seen), *c.ids);
    }
    // Escape chose nothing: no command reached the client.
    EXPECT_TRUE(client->commands.empty());
}

TEST_F(ContextMenuTest, CommandsAreEnabledOnlyWhenTheyCanAct)
{
    Open("/ctx");
    auto enabled = [&](int id) {
        for (const auto& i : client->contexts.back().items)
            if (i.id == id) return i.enabled;
        return false;
    };
    ASSERT_TRUE(OpenMenu(700, 500, -1));
    // Nothing ahead in the history, and the page has finished loading.
    EXPECT_FALSE(enabled(MENU_ID_FORWARD));
    EXPECT_FALSE(enabled(MENU_ID_STOPLOAD));
    EXPECT_TRUE(enabled(MENU_ID_RELOAD));
    client->browsers[0]->GetMainFrame()->LoadURL(CefString(server->Url("/ctx-second")));
    ASSERT_TRUE(Pump([&] { return client->loadEnds.size() >= 2; }));
    ASSERT_TRUE(OpenMenu(700, 500, -1));
    EXPECT_TRUE(enabled(MENU_ID_BACK));
    EXPECT_FALSE(enabled(MENU_ID_FORWARD));
    client->browsers[0]->GoBack();
    ASSERT_TRUE(Pump([&] { return client->loadEnds.size() >= 3; }));
    ASSERT_TRUE(OpenMenu(700, 500, -1));
    EXPECT_TRUE(enabled(MENU_ID_FORWARD));
}

TEST_F(ContextMenuTest, ClientRewritesTheModelSeesItShownAndGetsItsOwnCommand)
{
    client->rewriteMenu = [](CefRefPtr<CefContextMenuParams> params, CefRefPtr<CefMenuModel> model) {
        // Dropping undo and redo leaves the separator first.
        model->Remove(MENU_ID_UNDO);
        model->Remove(MENU_ID_REDO);
        model->SetLabel(MENU_ID_COPY, L"\u590d\u5236");
        if (model->GetTypeAt(0) == MENUITEMTYPE_SEPARATOR) model->RemoveAt(0);
        model->AddItem(26501, L"\u590d\u5236\u94fe\u63a5\u5730\u5740");
    };
    client->handleCommand = [](int id) { return id == 26501; };
    vxrt::SetClipboardText(nullptr, L"paste me");
    Open("/ctx");
    // With a selection in the focused field every editing item is enabled;
    // the client's item is the sixth step down (separators are skipped).
    RunScript("var f=document.getElementById('fld');f.focus();f.setSelectionRange(0,5)");
    ASSERT_TRUE(OpenMenu(-1, -1, 6));
    std::vector<std::pair<int, std::wstring>> expected = {{112, L"Cu&t"},
                                                          {113, L"\u590d\u5236"},
                                                          {114, L"&Paste"},
                                                          {115, L"&Delete"},
                                                          {0, L""},
                                                          {116, L"Select &all"},
                                                          {26501, L"\u590d\u5236\u94fe\u63a5\u5730\u5740"}};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(client->commands, std::vector<int>{26501});
    EXPECT_EQ(client->dismissed, 1);
}

TEST_F(ContextMenuTest, UnhandledReloadReloadsThePage)
{
    Open("/ctx-reload");
    size_t loads = client->loadEnds.size();
    // Back and Forward are disabled but still steps of the menu; Reload is
    // the third item.
    ASSERT_TRUE(OpenMenu(700, 500, 3));
    EXPECT_EQ(client->commands, std::vector<int>{MENU_ID_RELOAD});
    EXPECT_TRUE(Pump([&] { return client->loadEnds.size() > loads; }));
    EXPECT_EQ(server->Get("/count?/ctx-reload"), "2");
}

TEST_F(ContextMenuTest, CopyOfASelectionReachesTheClipboard)
{
    Open("/ctx");
    vxrt::SetClipboardText(nullptr, L"stale");
    RunScript("getSelection().selectAllChildren(document.getElementById('txt'))");
    ASSERT_TRUE(OpenMenu(400, 50, 1));
    EXPECT_EQ(client->commands, std::vector<int>{MENU_ID_COPY});
    std::wstring text;
    ASSERT_TRUE(vxrt::GetClipboardText(nullptr, text));
    EXPECT_EQ(text, L"Select me please");
}

}  // namespace
