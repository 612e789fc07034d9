#include "ui/markup/Markup.h"
#include "ui/base/Platform.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace SkinUI;

namespace {

std::wstring LastError(const CMarkup& doc)
{
    wchar_t text[128] = {0};
    doc.GetLastErrorMessage(text, 127);
    return text;
}

std::wstring LastLocation(const CMarkup& doc)
{
    wchar_t text[128] = {0};
    doc.GetLastErrorLocation(text, 127);
    return text;
}

std::vector<BYTE> Utf8(const char* text)
{
    return std::vector<BYTE>(text, text + std::char_traits<char>::length(text));
}

// The shipped skin documents, read from the source tree.
std::vector<BYTE> SkinFile(const wchar_t* name)
{
    std::vector<BYTE> bytes;
    const std::wstring path = std::wstring(VORNEX_SKIN_DIR) + L"/" + name;
    Platform::ReadWholeFile(path.c_str(), bytes, CMarkup::kMaxDocumentBytes);
    return bytes;
}

std::vector<std::wstring> ChildNames(const CMarkupNode& parent)
{
    std::vector<std::wstring> names;
    for (CMarkupNode node = parent.GetChild(); node.IsValid(); node = node.GetSibling()) {
        names.push_back(node.GetName());
    }
    return names;
}

}  // namespace

// ---- Skins as shipped -------------------------------------------------

TEST(MarkupSkinDocuments, MainWindowSkinParsesWithDecodedDefaultValue)
{
    const std::vector<BYTE> bytes = SkinFile(L"MainWnd.xml");
    ASSERT_FALSE(bytes.empty());
    CMarkup doc;
    ASSERT_TRUE(doc.LoadFromMem(bytes.data(), static_cast<DWORD>(bytes.size()), MARKUP_ENCODING_UTF8))
        << LastError(doc) << L" at " << LastLocation(doc);
    CMarkupNode root = doc.GetRoot();
    EXPECT_STREQ(L"Window", root.GetName());
    EXPECT_EQ((std::vector<std::wstring>{L"Font", L"Font", L"Default", L"VerticalLayout"}), ChildNames(root));
    EXPECT_STREQ(L"1200,720", root.GetAttributeValue(L"size"));
    EXPECT_STREQ(L"\u5fae\u8f6f\u96c5\u9ed1", root.GetChild(L"Font").GetAttributeValue(L"name"));
    const std::wstring value = root.GetChild(L"Default").GetAttributeValue(L"value");
    EXPECT_EQ(0u, value.find(L"button1normalimage=\"file='scroll.png' source='1,1,12,12'\"")) << value;
    EXPECT_EQ(std::wstring::npos, value.find(L'&')) << value;
}

TEST(MarkupSkinDocuments, ExitWindowSkinSkipsItsComments)
{
    const std::vector<BYTE> bytes = SkinFile(L"ExitWnd.xml");
    ASSERT_FALSE(bytes.empty());
    CMarkup doc;
    ASSERT_TRUE(doc.LoadFromMem(bytes.data(), static_cast<DWORD>(bytes.size()), MARKUP_ENCODING_UTF8))
        << LastError(doc) << L" at " << LastLocation(doc);
    CMarkupNode layout = doc.GetRoot().GetChild(L"VerticalLayout");
    EXPECT_EQ((std::vector<std::wstring>{L"HorizontalLayout", L"HorizontalLayout"}), ChildNames(layout));
    EXPECT_STREQ(L"#FF251F29", layout.GetAttributeValue(L"bkcolor"));
    EXPECT_EQ(1, layout.GetAttributeCount());
}

TEST(MarkupSkinDocuments, CommentsAndDeclarationsBetweenAndInsideElements)
{
    CMarkup doc(L"<?xml version=\"1.0\" ?><W><!-- a --><A/><!--<B x=\"1\" />--><C/><? pi ?></W><!-- end -->");
    ASSERT_TRUE(doc.IsValid()) << LastError(doc);
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"C"}), ChildNames(doc.GetRoot()));
}

// ---- Parse errors -------------------------------------------------------

struct ParseErrorCase {
    const wchar_t* xml;
    const wchar_t* message;
    const wchar_t* location;
};

void PrintTo(const ParseErrorCase& c, std::ostream* os) { *os << ::testing::PrintToString(std::wstring(c.xml)); }

class MarkupParseErrors : public ::testing::TestWithParam<ParseErrorCase> {};

TEST_P(MarkupParseErrors, ReportMessageAndLocationAndReleaseTheDocument)
{
    const ParseErrorCase& c = GetParam();
    CMarkup doc;
    EXPECT_FALSE(doc.Load(c.xml));
    EXPECT_EQ(std::wstring(c.message), LastError(doc));
    EXPECT_EQ(std::wstring(c.location), LastLocation(doc));
    EXPECT_FALSE(doc.IsValid());
    EXPECT_FALSE(doc.GetRoot().IsValid());
}

INSTANTIATE_TEST_SUITE_P(
    AllMessages, MarkupParseErrors,
    ::testing::Values(ParseErrorCase{L"hello", L"Expected start tag", L"hello"},
                      ParseErrorCase{L"<Window><A><B/>", L"Expected start tag", L""},
                      ParseErrorCase{L"<Window", L"Error parsing element name", L""},
                      ParseErrorCase{L"<a x=\"1\"/ >", L"Expected start-tag closing", L"/ >"},
                      ParseErrorCase{L"<a x=\"1\"", L"Expected start-tag closing", L""},
                      ParseErrorCase{L"<Window><Font><Sub>text", L"Expected end-tag start", L""},
                      ParseErrorCase{L"<a><b></a>", L"Unmatched closing tag", L"a>"},
                      ParseErrorCase{L"<ab></a>", L"Unmatched closing tag", L"a>"},
                      ParseErrorCase{L"<a></ab>", L"Unmatched closing tag", L">"},
                      ParseErrorCase{L"<a></a", L"Unmatched closing tag", L""},
                      ParseErrorCase{L"<a b-c=\"1\"/>", L"Error while parsing attributes", L"-c=\"1\"/>"},
                      ParseErrorCase{L"<a b c=\"1\"/>", L"Error while parsing attributes", L"c=\"1\"/>"},
                      ParseErrorCase{L"<Label text='x'/>", L"Expected attribute value", L"x'/>"},
                      ParseErrorCase{L"<Label text=", L"Expected attribute value", L""},
                      ParseErrorCase{L"<a x=\"1", L"Error while parsing attribute string", L""}));

// Documents the parser cannot read fail with a message instead of loading as
// an empty or truncated tree.
INSTANTIATE_TEST_SUITE_P(
    UnreadableDocuments, MarkupParseErrors,
    ::testing::Values(ParseErrorCase{L"<!DOCTYPE a><a><b/></a>", L"Unsupported declaration", L"!DOCTYPE a><a><b/></a>"},
                      ParseErrorCase{L"<?xml version=\"1.0\"?>\r\n<!DOCTYPE Window [ <!ENTITY x \"y\"> ]>\r\n<Window/>",
                                     L"Unsupported declaration",
                                     L"!DOCTYPE Window [ <!ENTITY x \"y\"> ]>\r\n<Window/>"},
                      ParseErrorCase{L"<a><![CDATA[<b/>]]></a>", L"Unsupported declaration", L"![CDATA[<b/>]]></a>"},
                      ParseErrorCase{L"<a><!ELEMENT b -></a>", L"Unsupported declaration", L"!ELEMENT b -></a>"},
                      ParseErrorCase{L"<a><!- x -><b/></a>", L"Unsupported declaration", L"!- x -><b/></a>"},
                      ParseErrorCase{L"<Window><!-- <Button/>", L"Unterminated comment", L"!-- <Button/>"},
                      ParseErrorCase{L"<a><b/><? pi", L"Unterminated processing instruction", L"? pi"},
                      ParseErrorCase{L"<a></a><!--", L"Unterminated comment", L"!--"},
                      ParseErrorCase{L"<a><>x</></a>", L"Error parsing element name", L">x</></a>"},
                      ParseErrorCase{L"< />", L"Error parsing element name", L"/>"},
                      ParseErrorCase{L"", L"No root element", L""},
                      ParseErrorCase{L" \r\n\t ", L"No root element", L""},
                      ParseErrorCase{L"<?xml version=\"1.0\"?><!-- nothing -->", L"No root element", L""}));

TEST(MarkupErrors, LocationIsCutTo49CharactersAndCopiesAreCutWithoutTerminator)
{
    const std::wstring rest(80, L'-');
    CMarkup doc;
    ASSERT_FALSE(doc.Load((L"<a " + rest + L"/>").c_str()));
    EXPECT_EQ(rest.substr(0, 49), LastLocation(doc));

    wchar_t cut[8];
    for (wchar_t& c : cut) c = L'#';
    doc.GetLastErrorMessage(cut, 5);
    EXPECT_EQ(std::wstring(L"Error###"), std::wstring(cut, 8));
}

TEST(MarkupErrors, Utf16WithoutByteOrderMarkOrTooShortFails)
{
    const BYTE noMark[] = {'<', 0, 'a', 0, '/', 0, '>', 0};
    const BYTE oneByte[] = {0xFF};
    CMarkup doc;
    EXPECT_FALSE(doc.LoadFromMem(noMark, sizeof(noMark), MARKUP_ENCODING_UTF16));
    EXPECT_FALSE(doc.IsValid());
    EXPECT_FALSE(LastError(doc).empty());
    EXPECT_FALSE(doc.LoadFromMem(oneByte, sizeof(oneByte), MARKUP_ENCODING_UTF16));
    EXPECT_FALSE(doc.LoadFromMem(oneByte, 0, MARKUP_ENCODING_UTF16));
    EXPECT_FALSE(doc.LoadFromMem(oneByte, sizeof(oneByte), 7));
}

TEST(MarkupErrors, SuccessfulLoadClearsThePreviousError)
{
    CMarkup doc;
    ASSERT_FALSE(doc.Load(L"<a><b></a>"));
    ASSERT_TRUE(doc.Load(L"<a/>"));
    EXPECT_EQ(L"", LastError(doc));
    EXPECT_EQ(L"", LastLocation(doc));
}

// ---- Tolerated and accepted structure -----------------------------------

TEST(MarkupStructure, MissingEndTagsOfRootAndItsChildrenAreTolerated)
{
    for (const wchar_t* xml : {L"<Window><Font>x", L"<Window><A/><B>", L"<Window><A></A>", L"<Window>"}) {
        CMarkup doc(xml);
        EXPECT_TRUE(doc.IsValid()) << xml << L": " << LastError(doc);
        EXPECT_STREQ(L"Window", doc.GetRoot().GetName()) << xml;
    }
}

TEST(MarkupStructure, EmptyElementsWithAndWithoutBlank)
{
    CMarkup doc(L"<W><Control/><Control /><Control></Control></W>");
    ASSERT_TRUE(doc.IsValid()) << LastError(doc);
    int seen = 0;
    for (CMarkupNode node = doc.GetRoot().GetChild(); node.IsValid(); node = node.GetSibling(), ++seen) {
        EXPECT_STREQ(L"Control", node.GetName());
        EXPECT_STREQ(L"", node.GetValue());
        EXPECT_FALSE(node.HasAttributes());
        EXPECT_FALSE(node.HasChildren());
    }
    EXPECT_EQ(3, seen);
}

TEST(MarkupStructure, NavigationLinksAndNamedChildLookup)
{
    CMarkup doc(L"<Root><A>text<Deep/></A><B/><a/></Root><Second/>");
    ASSERT_TRUE(doc.IsValid()) << LastError(doc);
    CMarkupNode root = doc.GetRoot();
    EXPECT_FALSE(root.GetParent().IsValid());
    EXPECT_TRUE(root.HasSiblings());
    EXPECT_STREQ(L"Second", root.GetSibling().GetName());
    CMarkupNode a = root.GetChild(L"A");
    EXPECT_STREQ(L"text", a.GetValue());
    EXPECT_STREQ(L"Deep", a.GetChild().GetName());
    EXPECT_STREQ(L"Root", a.GetChild().GetParent().GetParent().GetName());
    EXPECT_STREQ(L"a", root.GetChild(L"a").GetName());  // names compare case-sensitively
    EXPECT_FALSE(root.GetChild(L"C").IsValid());
}

TEST(MarkupStructure, InvalidNodeAnswersEverythingEmpty)
{
    CMarkupNode node;
    EXPECT_FALSE(node.IsValid());
    EXPECT_FALSE(node.GetChild().IsValid());
    EXPECT_FALSE(node.GetChild(L"a").IsValid());
    EXPECT_FALSE(node.GetParent().IsValid());
    EXPECT_EQ(nullptr, node.GetName());
    EXPECT_EQ(nullptr, node.GetValue());
    EXPECT_EQ(0, node.GetAttributeCount());
    EXPECT_FALSE(node.HasAttribute(L"a"));
    wchar_t buffer[4];
    EXPECT_FALSE(node.GetAttributeValue(L"a", buffer, 4));

    CMarkup empty;
    EXPECT_FALSE(empty.Load(L"  <!-- nothing -->  "));
    EXPECT_FALSE(empty.GetRoot().IsValid());
}

// ---- Data rule: entities and whitespace -----------------------------------

struct DataCase {
    const wchar_t* written;
    const wchar_t* decoded;
};

class MarkupDataRule : public ::testing::TestWithParam<DataCase> {};

TEST_P(MarkupDataRule, DecodesAttributeValuesAndElementTextAlike)
{
    const DataCase& c = GetParam();
    const std::wstring xml = std::wstring(L"<e a=\"") + c.written + L"\" b=\"after\">" + c.written + L"</e>";
    CMarkup doc(xml.c_str());
    ASSERT_TRUE(doc.IsValid()) << LastError(doc);
    CMarkupNode e = doc.GetRoot();
    EXPECT_STREQ(c.decoded, e.GetAttributeValue(L"a"));
    EXPECT_STREQ(L"after", e.GetAttributeValue(L"b"));  // mapping steps over a shortened value
    EXPECT_EQ(2, e.GetAttributeCount());
    EXPECT_STREQ(c.decoded, e.GetValue());
}

INSTANTIATE_TEST_SUITE_P(Entities, MarkupDataRule,
                         ::testing::Values(DataCase{L"a &amp;amp; b", L"a &amp; b"},
                                           DataCase{L"&lt;&gt;&apos;&amp;", L"<>'&"},
                                           DataCase{L"x &foo; y", L"x &foo; y"}, DataCase{L"&#65;", L"&#65;"},
                                           DataCase{L"&amp", L"&amp"}, DataCase{L"&", L"&"}, DataCase{L"", L""},
                                           DataCase{L"a  \t\r\n b", L"a  \t\r\n b"}));

// Values and text are scanned several characters at a time; plain runs of
// every length around an entity, and text that runs into the end of the
// document, must end exactly where they are written to.
TEST(MarkupDataRule, PlainRunsOfEveryLengthAroundAnEntityAndAtTheEnd)
{
    for (size_t lead = 0; lead <= 35; ++lead) {
        for (size_t tail : {0, 1, 3, 4, 7, 8, 9, 16, 17, 33}) {
            const std::wstring written = std::wstring(lead, L'x') + L"&quot;" + std::wstring(tail, L'y');
            const std::wstring decoded = std::wstring(lead, L'x') + L"\"" + std::wstring(tail, L'y');
            const std::wstring xml = L"<e a=\"" + written + L"\" b=\"after\">" + written + L"</e>";
            CMarkup doc(xml.c_str());
            ASSERT_TRUE(doc.IsValid()) << LastError(doc);
            EXPECT_EQ(decoded, doc.GetRoot().GetAttributeValue(L"a")) << lead << "/" << tail;
            EXPECT_STREQ(L"after", doc.GetRoot().GetAttributeValue(L"b")) << lead << "/" << tail;
            EXPECT_EQ(decoded, doc.GetRoot().GetValue()) << lead << "/" << tail;
        }
        const std::wstring open = L"<e>" + std::wstring(lead, L'z');
        CMarkup unterminated(open.c_str());
        ASSERT_TRUE(unterminated.IsValid()) << LastError(unterminated);
        EXPECT_EQ(std::wstring(lead, L'z'), unterminated.GetRoot().GetValue()) << lead;
    }
}

TEST(MarkupDataRule, QuotEntityInAttributeValue)
{
    CMarkup doc(L"<e a=\"say &quot;hi&quot;\" b=\"2\"/>");
    ASSERT_TRUE(doc.IsValid()) << LastError(doc);
    EXPECT_STREQ(L"say \"hi\"", doc.GetRoot().GetAttributeValue(L"a"));
    EXPECT_STREQ(L"2", doc.GetRoot().GetAttributeValue(L"b"));
}

TEST(MarkupDataRule, WithoutPreservedWhitespaceOnlyRunsBehindASpaceCollapse)
{
    CMarkup doc;
    doc.SetPreserveWhitespace(false);
    ASSERT_TRUE(doc.Load(L"<e a=\"a   b \t\n c\td\" b=\"x\">p  q</e>")) << LastError(doc);
    EXPECT_STREQ(L"a b c\td", doc.GetRoot().GetAttributeValue(L"a"));
    EXPECT_STREQ(L"x", doc.GetRoot().GetAttributeValue(L"b"));
    EXPECT_STREQ(L"p q", doc.GetRoot().GetValue());
}

TEST(MarkupDataRule, ElementTextEndsAtTheFirstChild)
{
    CMarkup doc(L"<e>a &amp; b<c/></e>");
    ASSERT_TRUE(doc.IsValid()) << LastError(doc);
    EXPECT_STREQ(L"a & b", doc.GetRoot().GetValue());
}

// ---- Attributes -------------------------------------------------------------

TEST(MarkupAttributes, SixtyFifthAttributeIsInvisible)
{
    std::wstring xml = L"<e";
    for (int i = 1; i <= 65; ++i) xml += L" a" + std::to_wstring(i) + L"=\"" + std::to_wstring(i) + L"\"";
    xml += L"/>";
    CMarkup doc(xml.c_str());
    ASSERT_TRUE(doc.IsValid()) << LastError(doc);
    CMarkupNode e = doc.GetRoot();
    EXPECT_EQ(64, e.GetAttributeCount());
    EXPECT_STREQ(L"64", e.GetAttributeValue(L"a64"));
    EXPECT_FALSE(e.HasAttribute(L"a65"));
    EXPECT_STREQ(L"a64", e.GetAttributeName(63));
}

TEST(MarkupAttributes, AccessorsByIndexAndNameWithBlanksAroundEquals)
{
    CMarkup doc(L"<e first = \"1\"\tsecond=\"two\" >x</e>");
    ASSERT_TRUE(doc.IsValid()) << LastError(doc);
    CMarkupNode e = doc.GetRoot();
    EXPECT_EQ(2, e.GetAttributeCount());
    EXPECT_STREQ(L"first", e.GetAttributeName(0));
    EXPECT_STREQ(L"1", e.GetAttributeValue(0));
    EXPECT_STREQ(L"second", e.GetAttributeName(1));
    EXPECT_STREQ(L"two", e.GetAttributeValue(L"second"));
    EXPECT_STREQ(L"x", e.GetValue());
    EXPECT_STREQ(L"e", e.GetName());
    // Out of range or absent: an empty text, never null.
    EXPECT_STREQ(L"", e.GetAttributeName(2));
    EXPECT_STREQ(L"", e.GetAttributeValue(-1));
    EXPECT_STREQ(L"", e.GetAttributeValue(L"Second"));

    wchar_t buffer[8];
    for (wchar_t& c : buffer) c = L'#';
    EXPECT_TRUE(e.GetAttributeValue(L"second", buffer, 2));
    EXPECT_EQ(std::wstring(L"tw######"), std::wstring(buffer, 8));  // cut: no terminator
    EXPECT_TRUE(e.GetAttributeValue(1, buffer, 8));
    EXPECT_STREQ(L"two", buffer);
    EXPECT_FALSE(e.GetAttributeValue(2, buffer, 8));
    EXPECT_FALSE(e.GetAttributeValue(L"third", buffer, 8));
}

TEST(MarkupAttributes, ElementWithoutAttributesHasNone)
{
    CMarkup doc(L"<e>text with \"quotes\" inside</e>");
    ASSERT_TRUE(doc.IsValid());
    EXPECT_EQ(0, doc.GetRoot().GetAttributeCount());
}

// ---- Element table growth ---------------------------------------------------

TEST(MarkupElementTable, GrowsByHalfPlus500Twice)
{
    auto elements = [](int count) {
        std::wstring xml = L"<r>";
        for (int i = 1; i < count; ++i) xml += L"<c/>";
        return xml + L"</r>";
    };
    // Record 0 is the placeholder: 1249 elements fill the first 1250 records.
    CMarkup doc(elements(1249).c_str());
    ASSERT_TRUE(doc.IsValid());
    EXPECT_EQ(1250u, doc.GetReservedElementCount());
    ASSERT_TRUE(doc.Load(elements(1250).c_str()));
    EXPECT_EQ(4062u, doc.GetReservedElementCount());  // 1250 -> 2375 -> 4062
    int children = 0;
    for (CMarkupNode n = doc.GetRoot().GetChild(); n.IsValid(); n = n.GetSibling()) ++children;
    EXPECT_EQ(1249, children);
}

// ---- Input encodings ----------------------------------------------------------

TEST(MarkupEncodings, AllThreeEncodingsGiveTheSameDocument)
{
    // "<e a=\"主页\"/>" in each encoding; the value is what must survive.
    const std::vector<BYTE> utf8 = Utf8("<e a=\"\xE4\xB8\xBB\xE9\xA1\xB5\"/>");
    const std::vector<BYTE> utf8Bom = Utf8("\xEF\xBB\xBF<e a=\"\xE4\xB8\xBB\xE9\xA1\xB5\"/>");
    std::vector<BYTE> utf16le = {0xFF, 0xFE};
    std::vector<BYTE> utf16be = {0xFE, 0xFF};
    for (wchar_t c : std::wstring(L"<e a=\"\u4e3b\u9875\"/>")) {
        utf16le.push_back(static_cast<BYTE>(c & 0xFF));
        utf16le.push_back(static_cast<BYTE>(c >> 8));
        utf16be.push_back(static_cast<BYTE>(c >> 8));
        utf16be.push_back(static_cast<BYTE>(c & 0xFF));
    }
    utf16le.push_back(0x00);  // a trailing odd byte is ignored
    struct Case {
        const char* name;
        const std::vector<BYTE>* bytes;
        int encoding;
    } cases[] = {{"utf8", &utf8, MARKUP_ENCODING_UTF8},
                 {"utf8 bom", &utf8Bom, MARKUP_ENCODING_UTF8},
                 {"utf16le", &utf16le, MARKUP_ENCODING_UTF16},
                 {"utf16be", &utf16be, MARKUP_ENCODING_UTF16}};
    for (const Case& c : cases) {
        CMarkup doc;
        ASSERT_TRUE(doc.LoadFromMem(c.bytes->data(), static_cast<DWORD>(c.bytes->size()), c.encoding)) << c.name;
        EXPECT_STREQ(L"\u4e3b\u9875", doc.GetRoot().GetAttributeValue(L"a")) << c.name;
    }
}

TEST(MarkupEncodings, AnsiIsConvertedWithoutByteOrderMarkHandling)
{
    const std::vector<BYTE> ansi = Utf8("<e a=\"plain\"/>");
    CMarkup doc;
    ASSERT_TRUE(doc.LoadFromMem(ansi.data(), static_cast<DWORD>(ansi.size()), MARKUP_ENCODING_ANSI));
    EXPECT_STREQ(L"plain", doc.GetRoot().GetAttributeValue(L"a"));
}

TEST(MarkupEncodings, SupplementaryCharactersAgreeBetweenUtf8AndUtf16)
{
    // U+1F600 as UTF-8 and as a UTF-16LE surrogate pair.
    const std::vector<BYTE> utf8 = Utf8("<e a=\"\xF0\x9F\x98\x80\"/>");
    const std::vector<BYTE> utf16 = {0xFF, 0xFE, '<',  0,    'e',  0,    ' ', 0, 'a', 0, '=', 0,
                                     '"',  0,    0x3D, 0xD8, 0x00, 0xDE, '"', 0, '/', 0, '>', 0};
    CMarkup a, b;
    ASSERT_TRUE(a.LoadFromMem(utf8.data(), static_cast<DWORD>(utf8.size()), MARKUP_ENCODING_UTF8));
    ASSERT_TRUE(b.LoadFromMem(utf16.data(), static_cast<DWORD>(utf16.size()), MARKUP_ENCODING_UTF16));
    EXPECT_EQ(std::wstring(a.GetRoot().GetAttributeValue(L"a")), std::wstring(b.GetRoot().GetAttributeValue(L"a")));
    EXPECT_EQ(sizeof(wchar_t) == 2 ? 2u : 1u, std::wstring(a.GetRoot().GetAttributeValue(L"a")).size());
}

TEST(MarkupEncodings, MalformedUtf8BecomesReplacementCharacters)
{
    const std::vector<BYTE> bytes = Utf8("<e a=\"\xC3x\xFF\xE4\xB8\"/>");
    CMarkup doc;
    ASSERT_TRUE(doc.LoadFromMem(bytes.data(), static_cast<DWORD>(bytes.size()), MARKUP_ENCODING_UTF8));
    EXPECT_STREQ(L"\xFFFDx\xFFFD\xFFFD\xFFFD", doc.GetRoot().GetAttributeValue(L"a"));
}

TEST(MarkupStructure, DeepNestingFailsCleanlyInsteadOfExhaustingTheStack)
{
    auto nested = [](int depth) {
        std::wstring xml;
        for (int i = 0; i < depth; ++i) xml += L"<a>";
        for (int i = 0; i < depth; ++i) xml += L"</a>";
        return xml;
    };
    CMarkup doc;
    EXPECT_TRUE(doc.Load(nested(200).c_str())) << LastError(doc);
    EXPECT_FALSE(doc.Load(nested(100000).c_str()));
    EXPECT_EQ(L"Elements nested too deeply", LastError(doc));
}
