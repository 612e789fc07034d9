// The context menu the user sees with the program's handler, against a real
// engine: Chinese labels, the copy-link command and the appended reload, in
// every kind of place one can click; and what the copy command puts on the
// clipboard.
#include "BrowserHostFixture.h"

#include "browser/ClipboardText.h"
#include "runtime/engine/Clipboard.h"

using namespace vxtest;

namespace {

typedef std::vector<std::pair<int, std::wstring>> ShownMenu;

const int kCopyLink = CCefHandler::kCopyLinkCommand;

ShownMenu PageMenu()
{
    return {{100, L"后退"},     {101, L"前进"}, {102, L"刷新"}, {103, L"强制刷新"},
            {104, L"停止加载"}, {0, L""},       {131, L"打印"}, {132, L"查看源代码"}};
}

ShownMenu operator+(ShownMenu a, const ShownMenu& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class HandlerContextMenuTest : public BrowserHostTest {
protected:
    // Right-clicks at (x, y) and picks the item `downs` steps down, or
    // dismisses the menu when downs < 0. Returns the menu as shown.
    ShownMenu ClickMenu(int x, int y, int downs)
    {
        MenuDriver driver(downs);
        Post(WM_RBUTTONDOWN, MK_RBUTTON, x, y);
        Post(WM_RBUTTONUP, 0, x, y);
        EXPECT_TRUE(PumpUntil([&] { return driver.Done(); }, 60000));
        EXPECT_TRUE(driver.Appeared());
        // The chosen command runs once the menu has closed.
        PumpUntil([] { return FindOwnTopLevel(L"#32768") == nullptr; }, 5000);
        PumpUntil([] { return false; }, 300);
        return driver.shown;
    }
};

// Regions of the shared context page (tests/runtime/shell_pages.py): a link,
// an image, an image inside a link, a paragraph and a text field.
TEST_F(HandlerContextMenuTest, EachPlaceGetsItsChineseMenuInOrder)
{
    struct Case {
        const char* what;
        int x, y;
        const char* script;  // run before the click
        ShownMenu expected;
    };
    const Case cases[] = {
        {"page", 700, 500, "", PageMenu() + ShownMenu{{102, L"刷新"}}},
        {"link", 100, 50, "", PageMenu() + ShownMenu{{kCopyLink, L"复制链接地址"}, {102, L"刷新"}}},
        {"image", 100, 150, "", PageMenu() + ShownMenu{{102, L"刷新"}, {kCopyLink, L"复制图片"}}},
        {"image in a link", 100, 250, "",
         PageMenu() + ShownMenu{{kCopyLink, L"复制链接地址"}, {102, L"刷新"}, {kCopyLink, L"复制图片"}}},
        {"selection", 400, 50, "getSelection().selectAllChildren(document.getElementById('txt'))",
         ShownMenu{{113, L"复制"}, {102, L"刷新"}}},
        {"text field", 450, 180, "getSelection().removeAllRanges()",
         ShownMenu{{110, L"撤销"},
                   {111, L"重复"},
                   {0, L""},
                   {112, L"剪切"},
                   {113, L"复制"},
                   {114, L"粘贴"},
                   {115, L"删除"},
                   {0, L""},
                   {116, L"全选"},
                   {102, L"刷新"}}},
    };
    Open("/ctx");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (*c.script) RunScript(c.script);
        EXPECT_EQ(ClickMenu(c.x, c.y, -1), c.expected);
    }
}

TEST_F(HandlerContextMenuTest, CopyItemsPutTheLinkAddressOnTheClipboard)
{
    struct Case {
        const char* what;
        int x, y;
        int downs;                 // separators are skipped, disabled items are steps
        std::string expectedPath;  // empty: empty text
    };
    const Case cases[] = {
        {"copy link address on a link", 100, 50, 8, "/target"},
        {"copy link address on an image in a link", 100, 250, 8, "/imgtarget"},
        {"copy image on an image in a link", 100, 250, 10, "/imgtarget"},
        {"copy image on an image alone", 100, 150, 9, ""},
    };
    Open("/ctx");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(CopyTextToClipboard(L"stale"));
        ClickMenu(c.x, c.y, c.downs);
        std::wstring text = L"<unreadable>";
        ASSERT_TRUE(vxrt::GetClipboardText(nullptr, text));
        EXPECT_EQ(CefString(text).ToString(), c.expectedPath.empty() ? "" : server->Url(c.expectedPath));
    }
    // The copy command is the handler's own: the page stayed where it was.
    EXPECT_EQ(recorder.Count("start"), 1);
}

TEST_F(HandlerContextMenuTest, RuntimeCommandsStillActUnderChineseLabels)
{
    Open("/ctx-reload");
    // The appended "刷新", the last of the page menu's eight items.
    ClickMenu(700, 500, 8);
    EXPECT_EQ(spy->commands, std::vector<int>{MENU_ID_RELOAD});
    EXPECT_TRUE(PumpUntil([&] { return recorder.Count("end") >= 2; }, 30000));
    EXPECT_EQ(server->Get("/count?/ctx-reload"), "2");
}

}  // namespace
