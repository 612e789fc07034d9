// The dialog builder over the real skins of the linked archive and over
// small documents that show one rule each.

#include "ui/controls/CheckBoxUI.h"
#include "ui/controls/ContainerUI.h"
#include "ui/controls/ControlUI.h"
#include "ui/builder/DialogBuilder.h"
#include "ui/paint/PaintManagerUI.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace SkinUI;

namespace {

// A plain window for a paint manager to belong to, and the skin archive of
// the test executable as the resource context.
class BuilderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HINSTANCE module = ::GetModuleHandleW(nullptr);
        CPaintManagerUI::SetInstance(module);
        HRSRC res = ::FindResourceW(module, MAKEINTRESOURCEW(130), L"DAT");
        ASSERT_NE(res, nullptr);
        CPaintManagerUI::SetResourceZip(::LockResource(::LoadResource(module, res)), ::SizeofResource(module, res));
    }

    void SetUp() override
    {
        m_hWnd = ::CreateWindowExW(0, L"STATIC", L"builder", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_hWnd, nullptr);
        m_manager = std::make_unique<CPaintManagerUI>();
        m_manager->Init(m_hWnd);
    }

    void TearDown() override
    {
        m_manager.reset();
        delete m_orphan;
        ::DestroyWindow(m_hWnd);
    }

    // Attaches the tree so that the manager owns (and later frees) it.
    CControlUI* Attach(CControlUI* root)
    {
        if (root) m_manager->AttachDialog(root);
        return root;
    }

    HWND m_hWnd = nullptr;
    std::unique_ptr<CPaintManagerUI> m_manager;
    CControlUI* m_orphan = nullptr;
};

// Answers no application tag but remembers which ones were asked for.
class RecordingCallback : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(LPCTSTR pstrClass) override
    {
        asked.push_back(pstrClass);
        return nullptr;
    }
    std::vector<std::wstring> asked;
};

bool SameRect(const RECT& a, int l, int t, int r, int b)
{
    return a.left == l && a.top == t && a.right == r && a.bottom == b;
}

bool Contains(const std::vector<std::wstring>& list, const wchar_t* item)
{
    for (const auto& s : list)
        if (s == item) return true;
    return false;
}

}  // namespace

TEST_F(BuilderTest, MainWindowSkinRecordsItsWindowPropertiesFontsAndDefaults)
{
    RecordingCallback callback;
    CDialogBuilder builder;
    CControlUI* root = Attach(builder.Create(L"MainWnd.xml", nullptr, &callback, m_manager.get()));
    ASSERT_NE(root, nullptr);

    EXPECT_EQ(m_manager->GetInitSize().cx, 1200);
    EXPECT_EQ(m_manager->GetInitSize().cy, 720);
    EXPECT_TRUE(SameRect(m_manager->GetCaptionRect(), 0, 0, 0, 36));
    EXPECT_TRUE(SameRect(m_manager->GetSizeBox(), 4, 4, 4, 4));
    EXPECT_EQ(m_manager->GetRoundCorner().cx, 2);
    EXPECT_EQ(m_manager->GetRoundCorner().cy, 2);
    EXPECT_TRUE(m_manager->IsShadow());
    RECT border = m_manager->GetShadowBorder();
    EXPECT_TRUE(SameRect(border, 5, 5, 9, 11));
    EXPECT_STREQ(m_manager->GetShadowImage(), L"file='Aero.png' corner='10,10,10,11'");
    EXPECT_EQ(m_manager->GetCustomFontCount(), 2u);
    EXPECT_EQ(m_manager->GetFontInfo(1)->iSize, 14);
    ASSERT_NE(m_manager->GetDefaultAttributeList(L"VScrollBar"), nullptr);

    EXPECT_STREQ(root->GetClass(), L"VerticalLayoutUI");
    auto* outer = static_cast<IContainerUI*>(root->GetInterface(L"IContainer"));
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(outer->GetItemAt(0)->GetName(), L"sys_titlebar");

    // The application's tags were asked for and, unanswered, left out; the
    // rest of the tree is there.
    EXPECT_TRUE(Contains(callback.asked, L"CefWeb"));
    EXPECT_TRUE(Contains(callback.asked, L"ScrollTextButton"));
    for (const auto& tag : callback.asked)
        EXPECT_TRUE(tag == L"CefWeb" || tag == L"ScrollTextButton") << "unexpected callback tag";
    for (const wchar_t* name : {L"btn_sys_close", L"btn_sys_max", L"btn_sys_restore", L"btn_sys_min", L"tab_main",
                                L"lbl_title", L"btn_home", L"btn_call"})
        EXPECT_NE(m_manager->FindControl(name), nullptr) << name;
    EXPECT_EQ(m_manager->FindControl(L"web1"), nullptr);
    EXPECT_FALSE(m_manager->FindControl(L"btn_sys_restore")->IsVisible());
}

TEST_F(BuilderTest, ExitSkinAppliesTheCheckBoxDefaultsBeforeItsOwnAttributes)
{
    CDialogBuilder builder;
    ASSERT_NE(Attach(builder.Create(L"ExitWnd.xml", nullptr, nullptr, m_manager.get())), nullptr);
    auto* check = static_cast<CCheckBoxUI*>(m_manager->FindControl(L"check_remember"));
    ASSERT_NE(check, nullptr);
    EXPECT_STREQ(check->GetClass(), L"CheckBoxUI");
    // From the default list.
    EXPECT_EQ(check->GetTextColor(), 0xFF666666u);
    EXPECT_TRUE(SameRect(check->GetTextPadding(), 24, 2, 0, 0));
    // Its own.
    EXPECT_EQ(check->GetText(), L"记住我的选择，不再提醒");
    EXPECT_EQ(check->GetFixedWidth(), 200);
    EXPECT_EQ(check->GetFixedHeight(), 20);
    EXPECT_TRUE(check->IsFloat());
    EXPECT_EQ(m_manager->GetCustomFontCount(), 3u);
    EXPECT_EQ(m_manager->GetInitSize().cx, 320);
    EXPECT_EQ(m_manager->GetInitSize().cy, 180);
}

TEST_F(BuilderTest, OwnAttributesOverrideTheDefaults)
{
    CDialogBuilder builder;
    CControlUI* root = Attach(
        builder.Create(L"<Window><Default name=\"Label\" value=\"text=&quot;default&quot; width=&quot;30&quot;\"/>"
                       L"<VerticalLayout><Label name=\"l\" text=\"own\"/></VerticalLayout></Window>",
                       nullptr, nullptr, m_manager.get()));
    ASSERT_NE(root, nullptr);
    CControlUI* label = m_manager->FindControl(L"l");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetText(), L"own");
    EXPECT_EQ(label->GetFixedWidth(), 30);
}

TEST_F(BuilderTest, FontFlagsAreTrueOnlyForTheExactText)
{
    CDialogBuilder builder;
    Attach(builder.Create(L"<Window><Font name=\"Tahoma\" size=\"13\" bold=\"True\" italic=\"true\"/>"
                          L"<Font name=\"Tahoma\" size=\"100000\" underline=\"true\"/><Control/></Window>",
                          nullptr, nullptr, m_manager.get()));
    ASSERT_EQ(m_manager->GetCustomFontCount(), 2u);
    EXPECT_FALSE(m_manager->GetFontInfo(0)->bBold);
    EXPECT_TRUE(m_manager->GetFontInfo(0)->bItalic);
    // An absurd size falls back to the default size.
    EXPECT_EQ(m_manager->GetFontInfo(1)->iSize, 12);
    EXPECT_TRUE(m_manager->GetFontInfo(1)->bUnderline);
}

TEST_F(BuilderTest, WindowSizesThatAreNoWindowAreIgnoredOrLimited)
{
    struct Case {
        const wchar_t* size;
        int cx, cy;
    } cases[] = {
        {L"0,0", 0, 0},
        {L"100000,100000", 16384, 16384},
        {L"-3,50", 0, 0},
        {L"640,480", 640, 480},
    };
    for (const Case& c : cases) {
        CPaintManagerUI manager;
        manager.Init(m_hWnd);
        std::wstring markup = L"<Window size=\"" + std::wstring(c.size) + L"\"><Control/></Window>";
        CDialogBuilder builder;
        CControlUI* root = builder.Create(markup.c_str(), nullptr, nullptr, &manager);
        ASSERT_NE(root, nullptr);
        manager.AttachDialog(root);
        EXPECT_EQ(manager.GetInitSize().cx, c.cx) << c.size;
        EXPECT_EQ(manager.GetInitSize().cy, c.cy) << c.size;
    }
}

TEST_F(BuilderTest, WithoutAManagerControlsAreBuiltButNoResourcesRecorded)
{
    CDialogBuilder builder;
    CControlUI* root = builder.Create(L"ExitWnd.xml");
    ASSERT_NE(root, nullptr);
    m_orphan = root;
    EXPECT_EQ(m_manager->GetCustomFontCount(), 0u);
    EXPECT_EQ(m_manager->GetInitSize().cx, 0);
    EXPECT_EQ(root->GetManager(), nullptr);
    EXPECT_EQ(static_cast<IContainerUI*>(root->GetInterface(L"IContainer"))->GetCount(), 2);
}

TEST_F(BuilderTest, SkinsThatCannotBeLoadedGiveNullAndAReason)
{
    struct Case {
        const wchar_t* xml;
    } cases[] = {{L"Missing.xml"}, {L"<Window><Control></Window>"}, {L"<!DOCTYPE x><Window/>"}};
    for (const Case& c : cases) {
        CDialogBuilder builder;
        EXPECT_EQ(builder.Create(c.xml, nullptr, nullptr, m_manager.get()), nullptr) << c.xml;
        wchar_t message[100] = L"";
        builder.GetLastErrorMessage(message, 99);
        EXPECT_NE(message[0], L'\0') << c.xml;
    }
    CDialogBuilder fromResource;
    EXPECT_EQ(fromResource.Create(STRINGorID(4711u), L"xml"), nullptr);
}

TEST_F(BuilderTest, ChildLayoutRepeatsAnIncludedSkinFile)
{
    // ExitWnd.xml's root holds one VerticalLayout: three includes, three.
    CDialogBuilder builder;
    CControlUI* root = Attach(builder.Create(
        L"<Window><HorizontalLayout><ChildLayout xmlfile=\"ExitWnd.xml\" count=\"3\"/></HorizontalLayout></Window>",
        nullptr, nullptr, m_manager.get()));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(static_cast<IContainerUI*>(root->GetInterface(L"IContainer"))->GetCount(), 3);
}

TEST_F(BuilderTest, AnOptionOfAnExtraTopLevelElementLeavesItsGroupWhenTheBuilderDeletesIt)
{
    CDialogBuilder builder;
    CControlUI* root = Attach(builder.Create(L"<Window>"
                                             L"<HorizontalLayout><Option name=\"kept\" group=\"g\"/></HorizontalLayout>"
                                             L"<HorizontalLayout><Option name=\"dropped\" group=\"g\"/></HorizontalLayout>"
                                             L"</Window>",
                                             nullptr, nullptr, m_manager.get()));
    ASSERT_NE(root, nullptr);
    auto* kept = static_cast<COptionUI*>(m_manager->FindControl(L"kept"));
    ASSERT_NE(kept, nullptr);
    CStdPtrArray* group = m_manager->GetOptionGroup(L"g");
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->GetSize(), 1) << "a deleted option is still in its group";
    EXPECT_EQ(group->GetAt(0), kept);
    // Selecting walks the group and deselects the other members.
    kept->Selected(true);
    EXPECT_TRUE(kept->IsSelected());
}

TEST_F(BuilderTest, ReloadingTheLanguageReadsTheLangElements)
{
    m_manager->SetLanguageReader(&CDialogBuilder::GetLanguageReader());
    CPaintManagerUI::AddLanguageAttributeList(L"old", L"x");
    CPaintManagerUI::ReLoadLanguage(L"<Window><lang name=\"greeting\" value=\"你好\"/></Window>");
    EXPECT_STREQ(CPaintManagerUI::GetLanguageAttributeList(L"greeting"), L"你好");
    EXPECT_EQ(CPaintManagerUI::GetLanguageAttributeList(L"old"), nullptr);
    CPaintManagerUI::RemoveAllLanguageAttributeList();
}

TEST_F(BuilderTest, AManagerReadsItsLanguageWithTheBuilderThatBuiltItsSkin)
{
    // No skin built into it yet: a reload keeps the strings in hand.
    CPaintManagerUI::AddLanguageAttributeList(L"kept", L"x");
    CPaintManagerUI::ReLoadLanguage(L"<Window><lang name=\"greeting\" value=\"hello\"/></Window>");
    EXPECT_STREQ(CPaintManagerUI::GetLanguageAttributeList(L"kept"), L"x");

    CDialogBuilder builder;
    Attach(builder.Create(L"<Window><lang name=\"first\" value=\"1\"/><Control/></Window>", nullptr, nullptr,
                          m_manager.get()));
    ASSERT_NE(m_manager->GetRoot(), nullptr);
    CPaintManagerUI::ReLoadLanguage(L"<Window><lang name=\"greeting\" value=\"hello\"/></Window>");
    EXPECT_STREQ(CPaintManagerUI::GetLanguageAttributeList(L"greeting"), L"hello");
    EXPECT_EQ(CPaintManagerUI::GetLanguageAttributeList(L"kept"), nullptr);
    EXPECT_EQ(CPaintManagerUI::GetLanguageAttributeList(L"first"), nullptr);
    CPaintManagerUI::RemoveAllLanguageAttributeList();
}
