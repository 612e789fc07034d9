// The handler's menu rewriting and copy command on menus the engine never
// builds: a separator first, edit commands without an edit context, media
// that is not an image, and a clipboard somebody else holds.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "browser/CefHandler.h"
#include "browser/ClipboardText.h"
#include "runtime/engine/Clipboard.h"
#include "runtime/engine/ContextMenuParams.h"
#include "runtime/engine/MenuModel.h"

using namespace Vornex;

namespace {

const int kSep = -1;
typedef std::vector<std::pair<int, std::wstring>> Items;

Items ItemsOf(vxrt::MenuModel& model)
{
    Items items;
    for (const auto& i : model.Items())
        items.emplace_back(i.type == MENUITEMTYPE_SEPARATOR ? kSep : i.commandId, i.label);
    return items;
}

TEST(HandlerMenuRulesTest, RelabelsByContextDropsALeadingSeparatorAndAppends)
{
    struct Case {
        const char* what;
        int flags;
        int media;
        Items before, after;
    };
    const Case cases[] = {
        {"empty menu of no context", 0, 0, {}, {{102, L"刷新"}}},
        {"page context leaves edit commands alone",
         CM_TYPEFLAG_PAGE,
         0,
         {{kSep, L""}, {100, L"&Back"}, {113, L"&Copy"}},
         {{100, L"后退"}, {113, L"&Copy"}, {102, L"刷新"}}},
        {"selection alone leaves page commands alone",
         CM_TYPEFLAG_SELECTION,
         0,
         {{100, L"&Back"}, {113, L"&Copy"}},
         {{100, L"&Back"}, {113, L"复制"}, {102, L"刷新"}}},
        {"editable link",
         CM_TYPEFLAG_EDITABLE | CM_TYPEFLAG_LINK,
         0,
         {{110, L"&Undo"}, {kSep, L""}, {116, L"Select &all"}},
         {{110, L"撤销"}, {kSep, L""}, {116, L"全选"}, {26501, L"复制链接地址"}, {102, L"刷新"}}},
        {"only a separator, then a link",
         CM_TYPEFLAG_LINK,
         0,
         {{kSep, L""}},
         {{26501, L"复制链接地址"}, {102, L"刷新"}}},
        {"only the first separator goes",
         0,
         0,
         {{kSep, L""}, {kSep, L""}, {102, L"&Reload"}},
         {{kSep, L""}, {102, L"&Reload"}, {102, L"刷新"}}},
        {"video is not an image", CM_TYPEFLAG_PAGE | CM_TYPEFLAG_MEDIA, CM_MEDIATYPE_VIDEO, {}, {{102, L"刷新"}}},
        {"image type without the media flag", CM_TYPEFLAG_PAGE, CM_MEDIATYPE_IMAGE, {}, {{102, L"刷新"}}},
        {"image", CM_TYPEFLAG_MEDIA, CM_MEDIATYPE_IMAGE, {}, {{102, L"刷新"}, {26501, L"复制图片"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CefRefPtr<CCefHandler> handler = new CCefHandler(nullptr);
        CefRefPtr<vxrt::ContextMenuParams> params = new vxrt::ContextMenuParams;
        params->typeFlags = c.flags;
        params->mediaType = c.media;
        CefRefPtr<vxrt::MenuModel> model = new vxrt::MenuModel;
        for (const auto& item : c.before)
            if (item.first == kSep)
                model->AddSeparator();
            else
                model->AddItem(item.first, item.second);
        handler->OnBeforeContextMenu(nullptr, nullptr, params.get(), model.get());
        EXPECT_EQ(ItemsOf(*model), c.after);
    }
}

TEST(HandlerMenuRulesTest, OnlyTheCopyCommandIsHandledAndItCopiesTheLink)
{
    CefRefPtr<CCefHandler> handler = new CCefHandler(nullptr);
    CefRefPtr<vxrt::ContextMenuParams> params = new vxrt::ContextMenuParams;
    params->linkUrl = "http://127.0.0.1/\xE7\x9F\xAD?a=1&b=2";  // 短
    ASSERT_TRUE(CopyTextToClipboard(L"stale"));
    for (int id : {100, 102, 113, 26500, 26502})
        EXPECT_FALSE(handler->OnContextMenuCommand(nullptr, nullptr, params.get(), id, EVENTFLAG_NONE)) << id;
    std::wstring text;
    ASSERT_TRUE(vxrt::GetClipboardText(nullptr, text));
    EXPECT_EQ(text, L"stale");
    EXPECT_TRUE(handler->OnContextMenuCommand(nullptr, nullptr, params.get(), 26501, EVENTFLAG_NONE));
    ASSERT_TRUE(vxrt::GetClipboardText(nullptr, text));
    EXPECT_EQ(text, L"http://127.0.0.1/\u77ed?a=1&b=2");
}

TEST(HandlerMenuRulesTest, ABusyClipboardLosesTheCopyButTheCommandIsStillHandled)
{
    ASSERT_TRUE(CopyTextToClipboard(L"kept"));
    std::atomic<int> stage{0};
    // Another thread holds the clipboard open until told to let go.
    std::thread holder([&] {
        HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        stage = OpenClipboard(owner) ? 1 : -1;
        while (stage == 1) Sleep(10);
        CloseClipboard();
        DestroyWindow(owner);
    });
    while (stage == 0) Sleep(10);
    ASSERT_EQ(stage, 1);
    CefRefPtr<CCefHandler> handler = new CCefHandler(nullptr);
    CefRefPtr<vxrt::ContextMenuParams> params = new vxrt::ContextMenuParams;
    params->linkUrl = "http://127.0.0.1/new";
    EXPECT_TRUE(handler->OnContextMenuCommand(nullptr, nullptr, params.get(), 26501, EVENTFLAG_NONE));
    stage = 2;
    holder.join();
    std::wstring text;
    ASSERT_TRUE(vxrt::GetClipboardText(nullptr, text));
    EXPECT_EQ(text, L"kept");
}

}  // namespace
