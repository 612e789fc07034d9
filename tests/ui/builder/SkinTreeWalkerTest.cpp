// The walk over a skin document: which elements become what, in which
// order attributes arrive, and the limits a hostile skin runs into.

#include "tests/ui/builder/RecordingTarget.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::testing_builder;

namespace {

typedef std::vector<std::wstring> Texts;

std::vector<std::wstring> Tags(const Node* node)
{
    std::vector<std::wstring> tags;
    for (const Node* child : node->children) tags.push_back(child->tag);
    return tags;
}

struct Built {
    CMarkup document;
    RecordingTarget target;
    Node* root = nullptr;
    bool truncated = false;

    Node* Build(const wchar_t* markup, const wchar_t* name = nullptr)
    {
        EXPECT_TRUE(document.Load(markup));
        SkinTreeWalker walker(target);
        root = static_cast<Node*>(walker.Build(document, nullptr, name));
        truncated = walker.IsTruncated();
        return root;
    }
};

}  // namespace

TEST(SkinTreeWalker, ResourcesAndWindowAttributesGoToTheManagerInDocumentOrder)
{
    Built b;
    b.Build(L"<Window size=\"320,180\" caption=\"0,0,0,40\">"
            L"<Font name=\"A\" size=\"14\" bold=\"true\" default=\"true\"/>"
            L"<Font size=\"9\"/>"  // no face: ignored
            L"<Font name=\"B\" bold=\"True\" italic=\"true\"/>"
            L"<Image name=\"x.png\" restype=\"PNG\" mask=\"#FF00FF\"/><Image restype=\"PNG\"/>"
            L"<Default name=\"Button\" value=\"a=&quot;1&quot;\"/><Default value=\"b\"/>"
            L"<lang name=\"k\" value=\"v\"/><Language xmlfile=\"zh.xml\"/>"
            L"<VerticalLayout/></Window>");
    EXPECT_EQ(b.target.resources, (Texts{L"Font:A,14,b,default", L"Font:B,12,i", L"Image:x.png,PNG,16711935",
                                         L"Default:Button", L"lang:k=v", L"Language:zh.xml"}));
    EXPECT_EQ(b.target.windowAttributes, (Texts{L"size=320,180", L"caption=0,0,0,40"}));
    ASSERT_NE(b.root, nullptr);
    EXPECT_EQ(b.root->tag, L"VerticalLayout");
}

TEST(SkinTreeWalker, FontSizesOutsideTheSaneRangeTakeTheDefault)
{
    struct Case {
        const wchar_t* size;
        const wchar_t* expected;
    } cases[] = {
        {L"0", L"Font:F,12"},   {L"-5", L"Font:F,12"},     {L"100000", L"Font:F,12"},
        {L"abc", L"Font:F,12"}, {L"1000", L"Font:F,1000"}, {L"1", L"Font:F,1"},
    };
    for (const Case& c : cases) {
        Built b;
        std::wstring markup = L"<Window><Font name=\"F\" size=\"" + std::wstring(c.size) + L"\"/></Window>";
        b.Build(markup.c_str());
        EXPECT_EQ(b.target.resources, Texts{c.expected}) << c.size;
    }
}

TEST(SkinTreeWalker, WithoutAManagerOnlyControlsAreBuilt)
{
    Built b;
    b.target.manager = false;
    b.target.window = false;
    b.Build(L"<Window size=\"1,1\"><Font name=\"A\"/><Default name=\"Label\" value=\"text=&quot;d&quot;\"/>"
            L"<VerticalLayout><Label text=\"own\"/></VerticalLayout></Window>");
    EXPECT_TRUE(b.target.resources.empty());
    EXPECT_TRUE(b.target.windowAttributes.empty());
    ASSERT_NE(b.root, nullptr);
    ASSERT_EQ(b.root->children.size(), 1u);
    EXPECT_EQ(b.root->children[0]->attributes, Texts{L"text=own"});
}

TEST(SkinTreeWalker, WindowAttributesNeedARootNamedWindowAndAWindow)
{
    Built notWindow;
    notWindow.Build(L"<Dialog size=\"5,5\"><VerticalLayout/></Dialog>");
    EXPECT_TRUE(notWindow.target.windowAttributes.empty());
    EXPECT_NE(notWindow.root, nullptr);

    Built noWindow;
    noWindow.target.window = false;
    noWindow.Build(L"<Window size=\"5,5\"><VerticalLayout/></Window>");
    EXPECT_TRUE(noWindow.target.windowAttributes.empty());
}

TEST(SkinTreeWalker, DefaultListComesBeforeTheOwnAttributesWhileTheManagerIsAttached)
{
    Built b;
    b.Build(L"<Window><Default name=\"CheckBox\" value=\"textcolor=&quot;#FF666666&quot; "
            L"textpadding=&quot;24,2,0,0&quot;\"/>"
            L"<VerticalLayout><CheckBox name=\"c\" textcolor=\"#FF000000\"/></VerticalLayout></Window>");
    ASSERT_NE(b.root, nullptr);
    Node* check = b.root->children.at(0);
    EXPECT_EQ(check->attributes,
              (Texts{L"textcolor=#FF666666", L"textpadding=24,2,0,0", L"name=c", L"textcolor=#FF000000"}));
    EXPECT_TRUE(check->attachedWhileApplying);
    EXPECT_FALSE(check->attached);
}

TEST(SkinTreeWalker, UnknownTagsAreSkippedWithTheirSubtreeAndResourceTagsAtAnyLevel)
{
    Built b;
    b.Build(L"<Window><VerticalLayout><Label/><UnknownWeb><Button/></UnknownWeb>"
            L"<Font name=\"inner\"/><Image name=\"i\"/><Default name=\"d\"/><lang name=\"l\"/>"
            L"<HorizontalLayout><Text/></HorizontalLayout></VerticalLayout></Window>");
    ASSERT_NE(b.root, nullptr);
    EXPECT_EQ(Tags(b.root), (Texts{L"Label", L"HorizontalLayout"}));
    EXPECT_EQ(Tags(b.root->children[1]), Texts{L"Text"});
    EXPECT_EQ(b.target.created.size(), 4u);   // the Button below the unknown tag was never made
    EXPECT_TRUE(b.target.resources.empty());  // resources count only as children of the root
}

TEST(SkinTreeWalker, RefusedChildIsDeletedAndTheWalkGoesOn)
{
    Built b;
    b.target.refusedTag = L"Button";
    b.Build(L"<Window><VerticalLayout><Button/><Label/></VerticalLayout></Window>");
    ASSERT_NE(b.root, nullptr);
    EXPECT_EQ(Tags(b.root), Texts{L"Label"});
    EXPECT_EQ(b.target.deleted, 1);
}

TEST(SkinTreeWalker, ChildOfANonContainerEndsItsLevelAndIsDeleted)
{
    Built b;
    b.Build(L"<Window><VerticalLayout><Label><Button/><Text/></Label><Control/></VerticalLayout></Window>");
    ASSERT_NE(b.root, nullptr);
    // The label's level ends at its first child, which belongs to nobody.
    EXPECT_EQ(Tags(b.root), (Texts{L"Label", L"Control"}));
    EXPECT_EQ(b.target.deleted, 1);
}

TEST(SkinTreeWalker, OnlyTheFirstTopLevelControlIsKeptWithoutAParent)
{
    Built b;
    b.Build(L"<Window><Label name=\"a\"/><Label name=\"b\"/><Label name=\"c\"/></Window>");
    ASSERT_NE(b.root, nullptr);
    EXPECT_EQ(b.root->attributes, Texts{L"name=a"});
    EXPECT_EQ(b.target.deleted, 2);
}

TEST(SkinTreeWalker, ChildLayoutAddsTheIncludedRootsChildrenCountTimes)
{
    struct Case {
        const wchar_t* element;
        size_t children;
    } cases[] = {
        {L"<ChildLayout xmlfile=\"row.xml\" count=\"3\"/>", 6},
        {L"<ChildLayout xmlfile=\"row.xml\"/>", 2},
        {L"<ChildLayout xmlfile=\"row.xml\" count=\"0\"/>", 0},
        {L"<ChildLayout xmlfile=\"row.xml\" count=\"-4\"/>", 0},
        {L"<ChildLayout/>", 0},
        {L"<ChildLayout count=\"2\"/>", 0},
        {L"<ChildLayout xmlfile=\"missing.xml\"/>", 0},
    };
    for (const Case& c : cases) {
        Built b;
        b.target.documents[L"row.xml"] = L"<Window><Label/><Button/></Window>";
        std::wstring markup = L"<Window><VerticalLayout>" + std::wstring(c.element) + L"</VerticalLayout></Window>";
        b.Build(markup.c_str());
        ASSERT_NE(b.root, nullptr) << c.element;
        EXPECT_EQ(b.root->children.size(), c.children) << c.element;
    }
}

TEST(SkinTreeWalker, AnIncludedDocumentBringsItsResourcesButNotItsWindowAttributes)
{
    Built b;
    b.target.documents[L"dialog.xml"] =
        L"<Window size=\"320,180\"><Font name=\"F\" size=\"14\"/><Image name=\"i.png\"/>"
        L"<Default name=\"Button\" value=\"textcolor=&quot;#FF333333&quot;\"/><lang name=\"k\" value=\"v\"/>"
        L"<Button name=\"ok\"/></Window>";
    b.Build(L"<Window size=\"1200,720\"><VerticalLayout><ChildLayout xmlfile=\"dialog.xml\" count=\"3\"/>"
            L"</VerticalLayout></Window>");
    EXPECT_EQ(b.target.resources, (Texts{L"Font:F,14", L"Image:i.png,-,0", L"Default:Button", L"lang:k=v"}))
        << "recorded once for all repetitions";
    EXPECT_EQ(b.target.windowAttributes, Texts{L"size=1200,720"});
    ASSERT_EQ(b.root->children.size(), 3u);
    EXPECT_EQ(b.root->children[0]->attributes, (Texts{L"textcolor=#FF333333", L"name=ok"}))
        << "the included default list applies to the included controls";

    Built withoutManager;
    withoutManager.target.manager = false;
    withoutManager.target.documents = b.target.documents;
    withoutManager.Build(L"<Window><VerticalLayout><ChildLayout xmlfile=\"dialog.xml\"/></VerticalLayout></Window>");
    EXPECT_TRUE(withoutManager.target.resources.empty());
}

TEST(SkinTreeWalker, ATopLevelIncludeWithoutAParentHandsBackOneControlAndDeletesTheRest)
{
    Built b;
    b.target.documents[L"row.xml"] = L"<Window><Button/><Text/></Window>";
    b.Build(L"<Window><ChildLayout xmlfile=\"row.xml\" count=\"2\"/><Label/></Window>");
    ASSERT_NE(b.root, nullptr);
    EXPECT_EQ(b.root->tag, L"Button");
    EXPECT_EQ(b.target.created.size(), 5u);
    EXPECT_EQ(b.target.deleted, 4) << "every control but the one handed back is deleted: none leaks";
}

TEST(SkinTreeWalker, AnIncludeIsReadOnceForAllItsRepetitions)
{
    Built b;
    b.target.documents[L"row.xml"] = L"<Window><Label/></Window>";
    b.Build(L"<Window><VerticalLayout><ChildLayout xmlfile=\"row.xml\" count=\"50\"/></VerticalLayout></Window>");
    EXPECT_EQ(b.root->children.size(), 50u);
    EXPECT_EQ(b.target.loads, 1);
}

TEST(SkinTreeWalker, IncludesThatIncludeThemselvesStopAtTheRepeat)
{
    Built direct;
    direct.target.documents[L"self.xml"] =
        L"<Window><Label/><ChildLayout xmlfile=\"SELF.xml\"/></Window>";  // names compare without case
    direct.Build(L"<Window><VerticalLayout><ChildLayout xmlfile=\"self.xml\"/></VerticalLayout></Window>");
    ASSERT_NE(direct.root, nullptr);
    EXPECT_EQ(direct.root->children.size(), 1u);

    Built indirect;
    indirect.target.documents[L"a.xml"] = L"<Window><Label/><ChildLayout xmlfile=\"b.xml\"/></Window>";
    indirect.target.documents[L"b.xml"] = L"<Window><Text/><ChildLayout xmlfile=\"a.xml\" count=\"9\"/></Window>";
    indirect.Build(L"<Window><VerticalLayout><ChildLayout xmlfile=\"a.xml\"/></VerticalLayout></Window>");
    EXPECT_EQ(Tags(indirect.root), (Texts{L"Label", L"Text"}));

    // The top-level document is open too: a skin that includes itself.
    Built top;
    top.target.documents[L"Main.xml"] = L"<Window><VerticalLayout/></Window>";
    top.Build(L"<Window><VerticalLayout><ChildLayout xmlfile=\"main.xml\"/></VerticalLayout></Window>", L"Main.xml");
    EXPECT_TRUE(top.root->children.empty());
}

TEST(SkinTreeWalker, IncludesThatMultiplyEachOtherRunOutOfSteps)
{
    Built b;
    // Ten distinct documents, each including the next 1000 times: 1000^10
    // controls if nothing stopped it.
    for (int i = 0; i < 10; ++i) {
        std::wstring next = L"d" + std::to_wstring(i + 1) + L".xml";
        b.target.documents[L"d" + std::to_wstring(i) + L".xml"] =
            L"<Window><Label/><ChildLayout xmlfile=\"" + next + L"\" count=\"1000\"/></Window>";
    }
    b.Build(L"<Window><VerticalLayout><ChildLayout xmlfile=\"d0.xml\" count=\"1000000000\"/></VerticalLayout>"
            L"</Window>");
    EXPECT_TRUE(b.truncated);
    EXPECT_LE(b.target.created.size(), static_cast<size_t>(SkinTreeWalker::kMaxSteps));
}

TEST(SkinTreeWalker, NestingDeeperThanTheLimitIsCutOff)
{
    std::wstring markup = L"<Window>";
    const int levels = SkinTreeWalker::kMaxDepth + 50;
    for (int i = 0; i < levels; ++i) markup += L"<VerticalLayout>";
    for (int i = 0; i < levels; ++i) markup += L"</VerticalLayout>";
    markup += L"</Window>";
    Built b;
    b.Build(markup.c_str());
    int depth = 0;
    for (Node* n = b.root; n; n = n->children.empty() ? nullptr : n->children[0]) ++depth;
    EXPECT_EQ(depth, SkinTreeWalker::kMaxDepth);
}

TEST(SkinTreeWalker, LongXmlFileNamesNameNoDocument)
{
    Built b;
    std::wstring name(500, L'a');
    b.target.documents[name] = L"<Window><Label/></Window>";
    std::wstring markup = L"<Window><VerticalLayout><ChildLayout xmlfile=\"" + name +
                          L"\"/></VerticalLayout><Language xmlfile=\"" + name + L"\"/></Window>";
    b.Build(markup.c_str());
    EXPECT_TRUE(b.root->children.empty());
    EXPECT_EQ(b.target.loads, 0);
    EXPECT_TRUE(b.target.resources.empty());
}
