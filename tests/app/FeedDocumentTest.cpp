#include "app/feed/FeedDocument.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/feed/FeedElementTable.h"
#include "app/feed/FeedScanner.h"

using namespace Vornex;

using namespace FeedDoc;

namespace {

std::wstring Repeat(const std::wstring& part, size_t count)
{
    std::wstring out;
    out.reserve(part.size() * count);
    for (size_t i = 0; i < count; ++i) out += part;
    return out;
}

// ---------------------------------------------------------------- Parse

struct ParseCase {
    const wchar_t* text;
    bool wellFormed;
    const wchar_t* error;
};

class ParseResult : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseResult, ReportsWellFormednessAndFirstError)
{
    const ParseCase& c = GetParam();
    CFeedDocument doc;
    EXPECT_EQ(doc.Parse(std::wstring(c.text)), c.wellFormed) << c.text;
    EXPECT_EQ(doc.GetErrorText(), c.error) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    FeedDocument, ParseResult,
    ::testing::Values(
        ParseCase{L"<config><a/></config>", true, L""},
        ParseCase{L"<?xml version='1.0'?><!DOCTYPE config [<!ELEMENT config (a)> <!-- c > --> "
                  L"<!ATTLIST a x CDATA '>'>]>\r\n<config> text &amp; <![CDATA[ <no> ]]> <!-- <x> -->"
                  L"<a x='1>2' y=\"it's\"/></config>\n",
                  true, L""},
        ParseCase{L"", false, L"Empty document"}, ParseCase{L"no markup at all", false, L"No root element"},
        ParseCase{L"<a/><b/>", false, L"Root element has sibling"},
        ParseCase{L"<a><b></a>", false, L"End tag 'a' at offset 7 does not match start tag 'b' at offset 3"},
        ParseCase{L"<a><b><c></a>", false, L"End tag 'a' at offset 10 does not match start tag 'c' at offset 6"},
        ParseCase{L"</x><a/>", false, L"No start tag for end tag 'x' at offset 0"},
        ParseCase{L"<a x='1'> text", false, L"Element 'a' at offset 0 not ended"},
        ParseCase{L"<a><1></a>", false, L"Incorrect tag name character at offset 3"},
        ParseCase{L"<a>< b></a>", false, L"Incorrect tag name character at offset 3"},
        ParseCase{L"<a><!x></a>", false, L"Incorrect ! tag at offset 3"},
        ParseCase{L"<a><!-x></a>", false, L"Incorrect comment tag at offset 3"},
        ParseCase{L"<a><![x></a>", false, L"Incorrect tag at offset 3"},
        ParseCase{L"<a><!-- x</a>", false, L"Comment at offset 3 unterminated"},
        // The terminator may not overlap the opening "<!--".
        ParseCase{L"<a><!--></a>", false, L"Comment at offset 3 unterminated"},
        ParseCase{L"<a><![CDATA[ x</a>", false, L"CDATA Section at offset 3 unterminated"},
        ParseCase{L"<a><? x</a>", false, L"Processing instruction at offset 3 unterminated"},
        ParseCase{L"<a><!DOCTYPE x [<!ENTITY y '>]></a>", false, L"Doctype at offset 3 unterminated"},
        ParseCase{L"<a><!ENTITY y \"></a>", false, L"Doctype at offset 3 unterminated"},
        ParseCase{L"<a><b x='1></a>", false, L"Element tag at offset 3 unterminated"},
        ParseCase{L"<a></a", false, L"Element end tag at offset 3 unterminated"},
        ParseCase{L"<a><", false, L"tag at offset 3 unterminated"},
        // Only the first error of a parse is kept...
        ParseCase{L"<a></b><1></a>", false, L"No start tag for end tag 'b' at offset 3"},
        // ...but the document-level findings replace it.
        ParseCase{L"<1><a/><b/>", false, L"Root element has sibling"}, ParseCase{L"<1>", false, L"No root element"},
        // Element names are case-sensitive, end tags included.
        ParseCase{L"<a></A>", false, L"No start tag for end tag 'A' at offset 3"},
        // An end tag name matches an open name that it continues with "=", "[" or "]".
        ParseCase{L"<a></a[x]>", true, L""},
        ParseCase{L"<a><b></a=x>", false, L"End tag 'a=x' at offset 7 does not match start tag 'b' at offset 3"},
        ParseCase{L"<ab></a>", false, L"No start tag for end tag 'a' at offset 4"}));

TEST(FeedDocumentParse, ErrorTextDescribesOnlyTheLatestParse)
{
    CFeedDocument doc;
    EXPECT_FALSE(doc.Parse(std::wstring(L"<a>")));
    EXPECT_TRUE(doc.Parse(std::wstring(L"<a/>")));
    EXPECT_EQ(doc.GetErrorText(), L"");
    EXPECT_FALSE(doc.Parse(std::wstring(L"<a/><b/>")));
    EXPECT_EQ(doc.GetErrorText(), L"Root element has sibling");
}

TEST(FeedDocumentParse, NullOrEmptyTextIsAnEmptyDocument)
{
    CFeedDocument doc;
    EXPECT_FALSE(doc.Parse(nullptr, 5));
    EXPECT_EQ(doc.GetErrorText(), L"Empty document");
    EXPECT_FALSE(doc.FindElement(L"a"));
}

// ---------------------------------------------------------------- Scanner

struct ScanCase {
    const wchar_t* text;
    int kind;
    uint32_t length;
    uint32_t flags;
};

class ScanNodeKind : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanNodeKind, FindsKindExtentAndEmptyFlag)
{
    const ScanCase& c = GetParam();
    const std::wstring text = c.text;
    CFeedScanner scanner(text.data(), static_cast<uint32_t>(text.size()));
    ScannedNode node;
    scanner.ScanNode(0, node);
    EXPECT_EQ(node.kind, c.kind) << c.text;
    EXPECT_EQ(node.length, c.length) << c.text;
    EXPECT_EQ(node.flags, c.flags) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    FeedScanner, ScanNodeKind,
    ::testing::Values(ScanCase{L"", NODE_END, 0, 0}, ScanCase{L"<a/>x", NODE_ELEMENT, 4, ELEM_EMPTY},
                      ScanCase{L"<a />", NODE_ELEMENT, 5, ELEM_EMPTY},
                      ScanCase{L"<a b='1'/>", NODE_ELEMENT, 10, ELEM_EMPTY},
                      ScanCase{L"<a b=\"1\"/>", NODE_ELEMENT, 10, ELEM_EMPTY},
                      // The "/" belongs to a bare value, or follows an attribute name.
                      ScanCase{L"<a b=1/>", NODE_ELEMENT, 8, 0}, ScanCase{L"<a b/>", NODE_ELEMENT, 6, 0},
                      ScanCase{L"<a/ >", NODE_ELEMENT, 5, 0}, ScanCase{L"<a x=\"it's\">", NODE_ELEMENT, 12, 0},
                      ScanCase{L"<a x = 'p>q'>", NODE_ELEMENT, 13, 0},
                      // A quote opens a value only after "=".
                      ScanCase{L"<a 'x>y'>", NODE_ELEMENT, 6, 0}, ScanCase{L"<:a/>", NODE_ELEMENT, 5, ELEM_EMPTY},
                      ScanCase{L"<_a/>", NODE_ELEMENT, 5, ELEM_EMPTY},
                      ScanCase{L"<\u00e9t\u00e9/>", NODE_ELEMENT, 6, ELEM_EMPTY},
                      ScanCase{L"<\u5e7f\u544a>", NODE_ELEMENT, 4, 0}, ScanCase{L"<[a/>", NODE_ERROR, 5, 0},
                      ScanCase{L"<1 no close", NODE_ERROR, 11, 0}, ScanCase{L"</a >x", NODE_END_TAG, 5, 0},
                      ScanCase{L" \t\r\n<a>", NODE_WHITESPACE, 4, 0}, ScanCase{L"  x <a>", NODE_TEXT, 4, 0},
                      ScanCase{L"a>b<", NODE_TEXT, 2, 0}, ScanCase{L" >", NODE_TEXT, 2, 0},
                      ScanCase{L"<!-- a -- b -->x", NODE_COMMENT, 15, 0},
                      ScanCase{L"<![CDATA[a]b]]>x", NODE_CDATA, 15, 0}, ScanCase{L"<?p a?b ?>x", NODE_PI, 10, 0},
                      ScanCase{L"<!DOCTYPE a [<!ENTITY x '>'><!-- > -->]>x", NODE_DOCTYPE, 40, 0},
                      ScanCase{L"<!DOCTYPE a SYSTEM 'b>c'>", NODE_DOCTYPE, 22, 0},
                      ScanCase{L"<!ENTITY x \">\" '>'>x", NODE_DOCTYPE, 19, 0},
                      ScanCase{L"<!ATTLIST a>", NODE_DOCTYPE, 12, 0}, ScanCase{L"<!NOTATION a>", NODE_DOCTYPE, 13, 0}));

TEST(FeedScanner, NamesStartAndEndTags)
{
    const std::wstring text = L"<item\tx='1'></item >";
    CFeedScanner scanner(text.data(), static_cast<uint32_t>(text.size()));
    ScannedNode node;
    scanner.ScanNode(0, node);
    EXPECT_EQ(text.substr(node.nameStart, node.nameLength), L"item");
    scanner.ScanNode(node.start + node.length, node);
    EXPECT_EQ(node.kind, NODE_END_TAG);
    EXPECT_EQ(node.start, 12u);
    EXPECT_EQ(text.substr(node.nameStart, node.nameLength), L"item");
}

// ---------------------------------------------------------------- Tree and recovery

class FeedTree : public ::testing::Test {
protected:
    const ElementRecord& Record(uint32_t index)
    {
        const ElementRecord* record = doc.GetRecord(index);
        EXPECT_NE(record, nullptr);
        static const ElementRecord none{};
        return record ? *record : none;
    }
    // Indices of the children of `parent`, checking the sibling links both ways.
    std::vector<uint32_t> Children(uint32_t parent)
    {
        std::vector<uint32_t> out;
        const uint32_t first = Record(parent).firstChild;
        uint32_t previous = 0;
        for (uint32_t i = first; i != 0; i = Record(i).nextSibling) {
            EXPECT_EQ(Record(i).parent, parent);
            if (previous != 0) {
                EXPECT_EQ(Record(i).prevSibling, previous);
            }
            previous = i;
            out.push_back(i);
        }
        if (first != 0) {
            EXPECT_EQ(Record(first).prevSibling, previous) << "the first child points at the last";
        }
        return out;
    }
    std::wstring NameAt(uint32_t index) { return doc.GetText().substr(Record(index).start + 1, 1); }
    std::wstring Names(const std::vector<uint32_t>& indices)
    {
        std::wstring out;
        for (uint32_t i : indices) out += NameAt(i);
        return out;
    }
    CFeedDocument doc;
};

TEST_F(FeedTree, RecordsOffsetsLengthsAndLevels)
{
    EXPECT_TRUE(doc.Parse(std::wstring(L"<config> <a x='1'/><b></b ></config>")));
    const ElementRecord& root = Record(0);
    EXPECT_EQ(root.length, 36u);
    const uint32_t config = root.firstChild;
    EXPECT_EQ(Record(config).start, 0u);
    EXPECT_EQ(Record(config).length, 36u);
    EXPECT_EQ(StartTagLength(Record(config)), 8u);
    EXPECT_EQ(EndTagLength(Record(config)), 9u);
    EXPECT_EQ(Record(config).levelAndFlags & LEVEL_MASK, 0u);
    const std::vector<uint32_t> kids = Children(config);
    ASSERT_EQ(kids.size(), 2u);
    EXPECT_EQ(Record(kids[0]).start, 9u);
    EXPECT_EQ(Record(kids[0]).length, 10u);
    EXPECT_EQ(EndTagLength(Record(kids[0])), 0u);
    EXPECT_EQ(Record(kids[0]).levelAndFlags, 1u | ELEM_FIRST_CHILD);
    EXPECT_EQ(Record(kids[1]).length, 8u);
    EXPECT_EQ(EndTagLength(Record(kids[1])), 5u);
    EXPECT_EQ(Record(kids[1]).levelAndFlags, 1u);
}

TEST_F(FeedTree, MismatchedEndTagLeavesInnerElementUnendedAndChildless)
{
    EXPECT_FALSE(doc.Parse(std::wstring(L"<a><b></a>")));
    EXPECT_TRUE(Record(0).levelAndFlags & DOC_ILL_FORMED);
    const uint32_t a = Record(0).firstChild;
    EXPECT_EQ(Record(a).length, 10u);
    EXPECT_EQ(EndTagLength(Record(a)), 4u);
    const std::vector<uint32_t> kids = Children(a);
    ASSERT_EQ(kids.size(), 1u);
    const ElementRecord& b = Record(kids[0]);
    EXPECT_TRUE(b.levelAndFlags & ELEM_UNENDED);
    EXPECT_EQ(b.length, 3u);
    EXPECT_EQ(b.firstChild, 0u);
}

TEST_F(FeedTree, UnendedElementsHandTheirChildrenToTheEnclosingElement)
{
    // a and b are never ended: their children follow them, in document order,
    // as children of r.
    EXPECT_FALSE(doc.Parse(std::wstring(L"<r><p/><a><c/><b><d/><e/></r>")));
    const uint32_t r = Record(0).firstChild;
    const std::vector<uint32_t> kids = Children(r);
    EXPECT_EQ(Names(kids), L"pacbde");
    for (uint32_t i : kids) {
        EXPECT_EQ(Record(i).firstChild, 0u);
        EXPECT_EQ((Record(i).levelAndFlags & ELEM_FIRST_CHILD) != 0, i == kids[0]);
    }
    EXPECT_TRUE(Record(kids[1]).levelAndFlags & ELEM_UNENDED);
    EXPECT_TRUE(Record(kids[3]).levelAndFlags & ELEM_UNENDED);
    EXPECT_FALSE(Record(kids[2]).levelAndFlags & ELEM_UNENDED);
    EXPECT_EQ(doc.GetErrorText(), L"End tag 'r' at offset 26 does not match start tag 'b' at offset 14");
}

TEST_F(FeedTree, UnendedTopLevelElementsSpillIntoTheDocument)
{
    EXPECT_FALSE(doc.Parse(std::wstring(L"<a><b><c/>")));
    EXPECT_EQ(Names(Children(0)), L"abc");
    EXPECT_EQ(doc.GetErrorText(), L"Root element has sibling");
}

TEST_F(FeedTree, ErrorMarksMoveOutOfUnendedElements)
{
    // The stray </x> marks a; a is then closed unended, so r carries the mark.
    EXPECT_FALSE(doc.Parse(std::wstring(L"<r><a></x><1></r>")));
    EXPECT_EQ(doc.GetErrorText(), L"No start tag for end tag 'x' at offset 6");
    const uint32_t r = Record(0).firstChild;
    EXPECT_TRUE(Record(r).levelAndFlags & ELEM_HAS_ERROR);
    const std::vector<uint32_t> kids = Children(r);
    ASSERT_EQ(kids.size(), 1u);
    EXPECT_FALSE(Record(kids[0]).levelAndFlags & ELEM_HAS_ERROR);
    // An error outside every element marks the document's record.
    EXPECT_FALSE(doc.Parse(std::wstring(L"</x><r/>")));
    EXPECT_TRUE(Record(0).levelAndFlags & ELEM_HAS_ERROR);
}

TEST_F(FeedTree, EndTagsStillMatchAfterAStrayOne)
{
    // The stray </x> makes the open elements searchable by name; later pushes
    // and pops must keep that search right.
    EXPECT_FALSE(doc.Parse(std::wstring(L"<r><a></x><a><b></a></a><c></r>")));
    EXPECT_EQ(doc.GetErrorText(), L"No start tag for end tag 'x' at offset 6");
    const uint32_t r = Record(0).firstChild;
    EXPECT_EQ(Record(r).length, 31u);
    const std::vector<uint32_t> rKids = Children(r);
    EXPECT_EQ(Names(rKids), L"ac");  // c was left open and is closed by </r>
    EXPECT_TRUE(Record(rKids[1]).levelAndFlags & ELEM_UNENDED);
    const uint32_t outerA = rKids[0];
    EXPECT_EQ(Record(outerA).length, 21u);
    const std::vector<uint32_t> aKids = Children(outerA);
    ASSERT_EQ(aKids.size(), 1u);
    EXPECT_EQ(Record(aKids[0]).length, 10u);  // the inner a closes at the first </a>
    const std::vector<uint32_t> innerKids = Children(aKids[0]);
    ASSERT_EQ(innerKids.size(), 1u);
    EXPECT_TRUE(Record(innerKids[0]).levelAndFlags & ELEM_UNENDED);
}

// ---------------------------------------------------------------- Element table

TEST(FeedElementTable, GrowsByHalfAndAtMostOnePageAtATimeKeepingIndices)
{
    CFeedElementTable table;
    ASSERT_TRUE(table.Reset(10));
    EXPECT_EQ(table.Capacity(), 10u);
    std::vector<uint32_t> indices;
    uint32_t capacity = table.Capacity();
    for (uint32_t n = 1; n < 300000; ++n) {
        const uint32_t index = table.Add();
        ASSERT_NE(index, 0u);
        table[index].start = n;
        indices.push_back(index);
        if (table.Capacity() != capacity) {
            const uint32_t used = table.Used() - 1;  // records in use when it grew
            EXPECT_LE(table.Capacity() - capacity, 2 * CFeedElementTable::kPageRecords);
            EXPECT_LE(table.Capacity(), used + used / 2 + CFeedElementTable::kPageRecords);
            EXPECT_GE(table.PageCount(), (table.Capacity() + 65535) / 65536);
            if (capacity == 10) {
                EXPECT_EQ(table.Capacity(), 15u);
            }
            capacity = table.Capacity();
        }
    }
    EXPECT_GE(table.PageCount(), 5u);
    for (uint32_t n = 0; n < indices.size(); ++n) ASSERT_EQ(table[indices[n]].start, n + 1);
    EXPECT_EQ(table[0].start, 0u);
}

TEST(FeedElementTable, ManyElementsAcrossPagesAreAllReachable)
{
    const uint32_t count = 150000;
    std::wstring text = L"<config>" + Repeat(L"<ad text='x'/>", count) + L"</config>";
    CFeedDocument doc;
    ASSERT_TRUE(doc.Parse(std::move(text)));
    EXPECT_EQ(doc.GetRecordCount(), count + 2);
    ASSERT_TRUE(doc.FindElement(L"config"));
    ASSERT_TRUE(doc.EnterElement());
    uint32_t found = 0;
    while (doc.FindElement(L"ad")) {
        ASSERT_EQ(doc.GetRecord(doc.GetCurrentIndex())->start, 8 + 14 * found);
        ++found;
    }
    EXPECT_EQ(found, count);
}

// ---------------------------------------------------------------- Cursor

TEST(FeedCursor, EnterFindAndLeaveWalkTheLevels)
{
    CFeedDocument doc;
    EXPECT_FALSE(doc.FindElement(L"a")) << "nothing parsed yet";
    ASSERT_TRUE(doc.Parse(std::wstring(L"<r><a id='1'><x/></a><b/><a id='2'/></r>")));
    EXPECT_FALSE(doc.EnterElement()) << "no current element";
    EXPECT_FALSE(doc.LeaveElement()) << "already at the top";
    EXPECT_EQ(doc.GetAttribute(L"id"), L"");
    EXPECT_FALSE(doc.FindElement(L"a")) << "a is not top-level";
    EXPECT_EQ(doc.GetCurrentIndex(), 0u) << "a failed search changes nothing";
    ASSERT_TRUE(doc.FindElement(L"r"));
    const uint32_t r = doc.GetCurrentIndex();
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.GetParentIndex(), r);
    EXPECT_EQ(doc.GetNodeKind(), 0);
    ASSERT_TRUE(doc.FindElement(L"a"));
    EXPECT_EQ(doc.GetAttribute(L"id"), L"1");
    const uint32_t firstA = doc.GetCurrentIndex();
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_TRUE(doc.FindElement(L"x"));
    EXPECT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetCurrentIndex(), firstA);
    EXPECT_EQ(doc.GetChildIndex(), doc.GetRecord(firstA)->firstChild);
    EXPECT_EQ(doc.GetNodeKind(), NODE_ELEMENT);
    // Entering again returns to the child the cursor came from.
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.GetCurrentIndex(), doc.GetRecord(firstA)->firstChild);
    EXPECT_TRUE(doc.LeaveElement());
    // The search continues after the current element.
    ASSERT_TRUE(doc.FindElement(L"a"));
    EXPECT_EQ(doc.GetAttribute(L"id"), L"2");
    const uint32_t secondA = doc.GetCurrentIndex();
    EXPECT_FALSE(doc.FindElement(L"a"));
    EXPECT_EQ(doc.GetCurrentIndex(), secondA);
    EXPECT_FALSE(doc.FindElement(L"b")) << "b lies before the current element";
    EXPECT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetCurrentIndex(), r);
    EXPECT_FALSE(doc.LeaveElement());
}

TEST(FeedCursor, ParseResetsTheCursor)
{
    CFeedDocument doc;
    ASSERT_TRUE(doc.Parse(std::wstring(L"<r><a/></r>")));
    ASSERT_TRUE(doc.FindElement(L"r"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"a"));
    ASSERT_TRUE(doc.Parse(std::wstring(L"<s/>")));
    EXPECT_EQ(doc.GetParentIndex(), 0u);
    EXPECT_EQ(doc.GetCurrentIndex(), 0u);
    EXPECT_EQ(doc.GetChildIndex(), 0u);
    EXPECT_EQ(doc.GetNodeKind(), 0);
    EXPECT_TRUE(doc.FindElement(L"s"));
}

struct NameCase {
    const wchar_t* text;
    const wchar_t* requested;
    bool found;
};

class ElementNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(ElementNames, MatchExactlyOrUpToANameStop)
{
    const NameCase& c = GetParam();
    CFeedDocument doc;
    doc.Parse(std::wstring(c.text));
    EXPECT_EQ(doc.FindElement(c.requested), c.found) << c.text << " / " << c.requested;
}

INSTANTIATE_TEST_SUITE_P(FeedCursor, ElementNames,
                         ::testing::Values(NameCase{L"<item/>", L"item", true}, NameCase{L"<Item/>", L"item", false},
                                           NameCase{L"<item/>", L"Item", false}, NameCase{L"<items/>", L"item", false},
                                           NameCase{L"<it/>", L"item", false}, NameCase{L"<item/>", L"item[2]", true},
                                           NameCase{L"<item/>", L"item/ad", true},
                                           NameCase{L"<item/>", L"item x", true}, NameCase{L"<item=x/>", L"item", true},
                                           NameCase{L"<item?/>", L"item", true}));

TEST(FeedCursor, IgnoreCaseOptionFoldsElementAttributeAndEndTagNames)
{
    CFeedDocument doc;
    const std::wstring text = L"<Config><AD Text='t'></ad></CONFIG>";
    EXPECT_FALSE(doc.Parse(text));
    doc.SetOptions(DOC_IGNORE_CASE);
    ASSERT_TRUE(doc.Parse(text));
    ASSERT_TRUE(doc.FindElement(L"config"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"ad"));
    EXPECT_EQ(doc.GetAttribute(L"TEXT"), L"t");
}

// ---------------------------------------------------------------- Attributes

struct AttributeCase {
    const wchar_t* tag;
    const wchar_t* name;
    const wchar_t* value;
};

class Attributes : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(Attributes, ReadQuotedBareAndValuelessAttributes)
{
    const AttributeCase& c = GetParam();
    CFeedDocument doc;
    doc.Parse(std::wstring(c.tag));
    ASSERT_TRUE(doc.FindElement(L"ad")) << c.tag;
    EXPECT_EQ(doc.GetAttribute(c.name), c.value) << c.tag << " / " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    FeedDocument, Attributes,
    ::testing::Values(AttributeCase{L"<ad text='x>y' url=z>", L"text", L"x>y"},
                      AttributeCase{L"<ad text='x>y' url=z>", L"url", L"z"},
                      AttributeCase{L"<ad text=\"say 'hi'\"/>", L"text", L"say 'hi'"},
                      AttributeCase{L"<ad text = 'spaced' />", L"text", L"spaced"},
                      AttributeCase{L"<ad text='a&amp;b&#65;&#x42;'/>", L"text", L"a&bAB"},
                      AttributeCase{L"<ad text='x'/>", L"url", L""}, AttributeCase{L"<ad text='x'/>", L"ad", L""},
                      AttributeCase{L"<ad Text='x'/>", L"text", L""}, AttributeCase{L"<ad textual='x'/>", L"text", L""},
                      AttributeCase{L"<ad text='1' text='2'/>", L"text", L"1"},
                      AttributeCase{L"<ad hidden url='u'/>", L"hidden", L"hidden"},
                      AttributeCase{L"<ad b=1/>", L"b", L"1/"}, AttributeCase{L"<ad b= >", L"b", L""},
                      AttributeCase{L"<ad text='x'/>", L"text=", L"x"},
                      AttributeCase{L"<ad url='u' / text='t'>", L"text", L""},
                      // Quotes outside values end the tag early for the
                      // scanner; the attribute reader stays inside that tag.
                      AttributeCase{L"<ad 'x>y' text='t'/>", L"text", L""}));

// ---------------------------------------------------------------- Entities

struct EntityCase {
    const wchar_t* raw;
    std::wstring decoded;
};

class Entities : public ::testing::TestWithParam<EntityCase> {};

TEST_P(Entities, DecodeReferencesAndCopyTheRest)
{
    EXPECT_EQ(CFeedDocument::DecodeEntities(std::wstring(GetParam().raw)), GetParam().decoded) << GetParam().raw;
}

INSTANTIATE_TEST_SUITE_P(FeedDocument, Entities,
                         ::testing::Values(EntityCase{L"a&amp;b&#65;&#x42;", L"a&bAB"},
                                           EntityCase{L"&lt;&gt;&quot;&apos;", L"<>\"'"},
                                           EntityCase{L"&bogus; &#0; &#x0;", L"&bogus; &#0; &#x0;"},
                                           EntityCase{L"&#65", L"&#65"}, EntityCase{L"&#;&#x;&#xG;", L"&#;&#x;&#xG;"},
                                           EntityCase{L"&#1234567;", std::wstring(1, wchar_t(1234567 & 0xFFFF))},
                                           EntityCase{L"&#12345678;", L"&#12345678;"},
                                           EntityCase{L"&#x10041;&#x4E2D;", L"A\u4e2d"}, EntityCase{L"&amp", L"&amp"},
                                           EntityCase{L"&&amp;;", L"&&;"}, EntityCase{L"", L""},
                                           // A reference whose low 16 bits are 0 would put a NUL
                                           // into a caption or URL: it is copied as written.
                                           EntityCase{L"a&#65536;b", L"a&#65536;b"},
                                           EntityCase{L"&#x10000;&#x110000;", L"&#x10000;&#x110000;"},
                                           EntityCase{L"&#131072;", L"&#131072;"}));

// ---------------------------------------------------------------- The feed's walk

struct Ad {
    std::wstring text, url;
    bool operator==(const Ad& o) const { return text == o.text && url == o.url; }
};

struct FeedLists {
    std::vector<Ad> statics;
    std::vector<Ad> scroll[3];
};

// The walk the feed thread makes over its document.
FeedLists ReadFeed(const std::wstring& text)
{
    FeedLists lists;
    CFeedDocument doc;
    if (!doc.Parse(text) || !doc.FindElement(L"config")) return lists;
    doc.EnterElement();
    if (doc.FindElement(L"StaticAd")) {
        doc.EnterElement();
        while (doc.FindElement(L"ad")) lists.statics.push_back({doc.GetAttribute(L"text"), doc.GetAttribute(L"url")});
        doc.LeaveElement();
    }
    if (doc.FindElement(L"ScrollAd")) {
        doc.EnterElement();
        for (int k = 0; k < 3 && doc.FindElement(L"item"); ++k) {
            doc.EnterElement();
            while (doc.FindElement(L"ad"))
                lists.scroll[k].push_back({doc.GetAttribute(L"text"), doc.GetAttribute(L"url")});
            doc.LeaveElement();
        }
    }
    return lists;
}

TEST(FeedWalk, ReadsStaticAdsAndTheFirstThreeItems)
{
    const FeedLists lists =
        ReadFeed(L"<?xml version=\"1.0\" encoding=\"gbk\"?>\r\n<config>\r\n"
                 L" <StaticAd><ad text='s1' url='http://a/1'/><!-- skip --><other/><ad text='s2'/></StaticAd>\r\n"
                 L" <ScrollAd>\r\n"
                 L"  <item><ad text='\u5e7f\u544a' url='u1'/><ad text='r2' url='u2'/></item>\r\n"
                 L"  <item></item>\r\n"
                 L"  <item><ad text='r3' url='u3'></ad></item>\r\n"
                 L"  <item><ad text='r4' url='u4'/></item>\r\n"
                 L" </ScrollAd>\r\n</config>\r\n");
    EXPECT_EQ(lists.statics, (std::vector<Ad>{{L"s1", L"http://a/1"}, {L"s2", L""}}));
    EXPECT_EQ(lists.scroll[0], (std::vector<Ad>{{L"\u5e7f\u544a", L"u1"}, {L"r2", L"u2"}}));
    EXPECT_TRUE(lists.scroll[1].empty());
    EXPECT_EQ(lists.scroll[2], (std::vector<Ad>{{L"r3", L"u3"}}));
}

TEST(FeedWalk, ScrollAdBeforeStaticAdIsNotRead)
{
    const FeedLists lists = ReadFeed(
        L"<config><ScrollAd><item><ad text='r'/></item></ScrollAd><StaticAd><ad text='s'/></StaticAd></config>");
    EXPECT_EQ(lists.statics.size(), 1u);
    EXPECT_TRUE(lists.scroll[0].empty());
}

TEST(FeedWalk, NamesDifferingInCaseAreNotRecognised)
{
    FeedLists lists = ReadFeed(L"<Config><StaticAd><ad text='s'/></StaticAd></Config>");
    EXPECT_TRUE(lists.statics.empty());
    lists = ReadFeed(L"<config><staticad><ad text='s'/></staticad><scrollad><item><ad/></item></scrollad></config>");
    EXPECT_TRUE(lists.statics.empty());
    EXPECT_TRUE(lists.scroll[0].empty());
}

// ---------------------------------------------------------------- Hostile sizes

TEST(FeedHostile, AMillionNestedElementsParseAndWalk)
{
    const size_t depth = 1000000;
    CFeedDocument doc;
    ASSERT_TRUE(doc.Parse(Repeat(L"<a>", depth) + Repeat(L"</a>", depth)));
    size_t reached = 0;
    while (doc.FindElement(L"a")) {
        ++reached;
        doc.EnterElement();
    }
    EXPECT_EQ(reached, depth);
    EXPECT_EQ(doc.GetRecord(doc.GetParentIndex())->levelAndFlags & LEVEL_MASK, LEVEL_MASK) << "levels saturate";
    while (doc.LeaveElement()) --reached;
    EXPECT_EQ(reached, 0u);
    EXPECT_EQ(doc.GetCurrentIndex(), doc.GetRecord(0)->firstChild);
}

TEST(FeedHostile, AMillionUnendedElementsAreFlattenedInLinearTime)
{
    const size_t depth = 1000000;
    CFeedDocument doc;
    EXPECT_FALSE(doc.Parse(Repeat(L"<a>", depth)));
    EXPECT_EQ(doc.GetErrorText(), L"Root element has sibling");
    size_t topLevel = 0;
    while (doc.FindElement(L"a")) {
        ++topLevel;
        ASSERT_EQ(doc.GetRecord(doc.GetCurrentIndex())->firstChild, 0u);
    }
    EXPECT_EQ(topLevel, depth);

    EXPECT_FALSE(doc.Parse(L"<r>" + Repeat(L"<a>", depth) + L"</r>"));
    EXPECT_EQ(doc.GetErrorText(), L"End tag 'r' at offset " + std::to_wstring(3 * depth + 4) +
                                      L" does not match start tag 'a' at offset " + std::to_wstring(3 * depth));
}

TEST(FeedHostile, StrayEndTagsUnderDeepNestingStayLinear)
{
    const size_t depth = 500000;
    CFeedDocument doc;
    EXPECT_FALSE(doc.Parse(Repeat(L"<a>", depth) + Repeat(L"</b>", depth) + Repeat(L"</a>", depth)));
    EXPECT_EQ(doc.GetErrorText(), L"No start tag for end tag 'b' at offset " + std::to_wstring(3 * depth));
    EXPECT_EQ(doc.GetRecord(doc.GetRecord(0)->firstChild)->length, 3 * depth + 8 * depth);
}

TEST(FeedHostile, UnterminatedConstructsRunToTheEndOnce)
{
    const std::wstring cases[] = {L"<a x='" + Repeat(L"<", 1000000), L"<!--" + Repeat(L"->", 1000000),
                                  L"<!DOCTYPE" + Repeat(L"<!'", 1000000), Repeat(L"<1", 1000000)};
    for (const std::wstring& text : cases) {
        CFeedDocument doc;
        EXPECT_FALSE(doc.Parse(text));
        EXPECT_FALSE(doc.GetErrorText().empty());
    }
}

}  // namespace
