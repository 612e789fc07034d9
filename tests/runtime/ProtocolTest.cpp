// The portable protocol layer: WebSocket frames as the engine sends them
// (whole, split, fragmented, hostile), DevTools messages, and the events the
// runtime reads with checked field access.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/protocol/CaretReport.h"
#include "runtime/protocol/DevToolsMessage.h"
#include "runtime/protocol/PageScale.h"
#include "runtime/protocol/ProtocolEvents.h"
#include "runtime/protocol/WebSocketFrameReader.h"

using namespace vxrt;

namespace {

using Result = WebSocketFrameReader::Result;

// One server frame: FIN flag, opcode, payload; masked when a key is given.
std::string Frame(bool fin, unsigned opcode, const std::string& payload, const char* mask = nullptr)
{
    std::string f;
    f += static_cast<char>((fin ? 0x80 : 0) | opcode);
    const unsigned char maskBit = mask ? 0x80 : 0;
    const size_t n = payload.size();
    if (n < 126) {
        f += static_cast<char>(maskBit | n);
    } else if (n < 65536) {
        f += static_cast<char>(maskBit | 126);
        f += static_cast<char>(n >> 8);
        f += static_cast<char>(n & 0xFF);
    } else {
        f += static_cast<char>(maskBit | 127);
        for (int i = 7; i >= 0; --i) f += static_cast<char>((static_cast<unsigned long long>(n) >> (8 * i)) & 0xFF);
    }
    std::string body = payload;
    if (mask) {
        f.append(mask, 4);
        for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(body[i] ^ mask[i & 3]);
    }
    return f + body;
}

struct Seen {
    Result result;
    std::string payload;
    bool operator==(const Seen& o) const { return result == o.result && payload == o.payload; }
};

std::ostream& operator<<(std::ostream& os, const Seen& s)
{
    return os << static_cast<int>(s.result) << ":" << s.payload.substr(0, 40);
}

// Feeds the bytes in pieces of `step` (0: all at once) and collects every
// result up to NeedMore or Failed.
std::vector<Seen> ReadAll(const std::string& bytes, size_t step, size_t limit = 1 << 20)
{
    WebSocketFrameReader reader(limit);
    std::vector<Seen> seen;
    size_t at = 0;
    do {
        const size_t n = step ? std::min(step, bytes.size() - at) : bytes.size();
        reader.Append(bytes.data() + at, n);
        at += n;
        std::string payload;
        for (Result r; (r = reader.Next(payload)) != Result::NeedMore;) {
            seen.push_back({r, payload});
            if (r == Result::Failed) return seen;
        }
    } while (at < bytes.size());
    return seen;
}

// Frames of reserved opcodes are skipped on their known length.
TEST(WebSocketFrameReaderTest, ReassemblesWhateverWayTheBytesArrive)
{
    const std::string big(70000, 'x');  // a 64-bit length
    const std::string mid(300, 'y');    // a 16-bit length
    const std::string stream = Frame(true, 1, "{\"id\":1}") + Frame(true, 1, mid) + Frame(false, 1, "hel") +
                               Frame(true, 9, "p") +  // a ping between fragments
                               Frame(false, 0, "lo ") + Frame(true, 0, "world") + Frame(true, 2, big, "abcd") +
                               Frame(true, 10, "") + Frame(true, 3, "reserved") + Frame(true, 0xB, "") +
                               Frame(true, 8, "\x03\xe8");
    const std::vector<Seen> want = {{Result::Message, "{\"id\":1}"},  {Result::Message, mid}, {Result::Ping, "p"},
                                    {Result::Message, "hello world"}, {Result::Message, big}, {Result::Pong, ""},
                                    {Result::Close, "\x03\xe8"}};
    for (size_t step : {size_t(0), size_t(1), size_t(2), size_t(7), size_t(4096)}) {
        SCOPED_TRACE("pieces of " + std::to_string(step));
        EXPECT_EQ(ReadAll(stream, step), want);
    }
}

TEST(WebSocketFrameReaderTest, RefusesWhatBreaksTheProtocolAndStaysFailed)
{
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"reserved bit", std::string("\xC1\x01x", 3)},
        {"continuation without a message", Frame(true, 0, "x")},
        {"new message inside a fragmented one", Frame(false, 1, "a") + Frame(true, 1, "b")},
        {"fragmented control frame", Frame(false, 9, "x")},
        {"control frame over 125 bytes", Frame(true, 9, std::string(126, 'p'))},
        // Refused on the header alone, before 2^40 bytes are waited for.
        {"announced size past the limit", std::string("\x81\x7f\x00\x00\x01\x00\x00\x00\x00\x00{", 11)},
        {"fragments adding up past the limit",
         Frame(false, 1, std::string(600, 'a')) + Frame(true, 0, std::string(600, 'b'))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Seen> seen = ReadAll(c.bytes + Frame(true, 1, "after"), 0, 1000);
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.back().result, Result::Failed);
        for (const Seen& s : seen) EXPECT_NE(s.payload, "after");
    }
    WebSocketFrameReader reader(1000);
    const std::string bad = Frame(false, 9, "x");
    reader.Append(bad.data(), bad.size());
    std::string payload;
    EXPECT_EQ(reader.Next(payload), Result::Failed);
    const std::string good = Frame(true, 1, "ok");
    reader.Append(good.data(), good.size());
    EXPECT_EQ(reader.Next(payload), Result::Failed);
}

TEST(WebSocketFrameReaderTest, KnowsWhenAFrameHasBegun)
{
    WebSocketFrameReader reader;
    std::string payload;
    EXPECT_FALSE(reader.InFrame());
    const std::string f = Frame(true, 1, "abc");
    reader.Append(f.data(), 3);
    EXPECT_EQ(reader.Next(payload), Result::NeedMore);
    EXPECT_TRUE(reader.InFrame());
    reader.Append(f.data() + 3, f.size() - 3);
    EXPECT_EQ(reader.Next(payload), Result::Message);
    EXPECT_FALSE(reader.InFrame());
}

TEST(DevToolsMessageTest, TellsRepliesFromEventsAndRejectsTheRest)
{
    using Kind = DevToolsMessage::Kind;
    const struct {
        const char* text;
        Kind kind;
        int id;
        const char* method;
        const char* session;
        bool error;
    } cases[] = {
        {R"({"id":7,"result":{"a":1}})", Kind::Reply, 7, "", "", false},
        {R"({"id":7,"error":{"code":-32000}})", Kind::Reply, 7, "", "", true},
        {R"({"id":7,"error":null})", Kind::Reply, 7, "", "", true},
        {R"({"method":"Page.loadEventFired","params":{},"sessionId":"S"})", Kind::Event, 0, "Page.loadEventFired", "S",
         false},
        {R"({"method":"Target.targetCreated","params":[1]})", Kind::Event, 0, "Target.targetCreated", "", false},
        {R"({"method":"X","sessionId":5})", Kind::Event, 0, "X", "", false},
        {"not json", Kind::Invalid, 0, "", "", false},
        {"[1,2]", Kind::Invalid, 0, "", "", false},
        {R"({"id":"7"})", Kind::Invalid, 0, "", "", false},
        {R"({"id":-5,"result":{}})", Kind::Invalid, 0, "", "", false},
        {R"({"id":2147483648})", Kind::Invalid, 0, "", "", false},
        {R"({"id":18446744073709551615})", Kind::Invalid, 0, "", "", false},
        {R"({"id":1e400})", Kind::Invalid, 0, "", "", false},
        {R"({"method":5})", Kind::Invalid, 0, "", "", false},
        {R"({"method":""})", Kind::Invalid, 0, "", "", false},
        {"\xed\xa0\x80", Kind::Invalid, 0, "", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        DevToolsMessage m = ParseDevToolsMessage(c.text);
        EXPECT_EQ(m.kind, c.kind);
        EXPECT_EQ(m.id, c.id);
        EXPECT_EQ(m.method, c.method);
        EXPECT_EQ(m.sessionId, c.session);
        EXPECT_EQ(!m.error.is_null(), c.error);
        if (m.kind == Kind::Event) {
            EXPECT_TRUE(m.params.is_object());
        }
        if (m.kind == Kind::Reply) {
            EXPECT_TRUE(m.result.is_object());
        }
    }
}

// Records what each event function received.
class Recorder : public page::EventSink, public target::EventSink {
public:
    std::vector<std::string> calls;
    page::FrameNavigated navigated;
    page::ScreencastFrame frame;
    page::ExecutionContextCreated context;
    page::ResponseReceived response;
    target::Gone gone;

    void OnScreencastFrame(const page::ScreencastFrame& e) override
    {
        frame = e;
        calls.push_back("frame");
    }
    void OnFrameNavigated(const page::FrameNavigated& e) override
    {
        navigated = e;
        calls.push_back("navigated");
    }
    void OnNavigatedWithinDocument(const page::NavigatedWithinDocument&) override { calls.push_back("within"); }
    void OnLifecycleEvent(const page::LifecycleEvent&) override { calls.push_back("lifecycle"); }
    void OnExecutionContextCreated(const page::ExecutionContextCreated& e) override
    {
        context = e;
        calls.push_back("context");
    }
    void OnResponseReceived(const page::ResponseReceived& e) override
    {
        response = e;
        calls.push_back("response");
    }
    void OnLoadingFailed(const page::LoadingFailed&) override { calls.push_back("failed"); }
    void OnBindingCalled(const page::BindingCalled&) override { calls.push_back("binding"); }
    void OnTargetInfoChanged(const target::InfoChanged&) override { calls.push_back("info"); }
    void OnTargetGone(const target::Gone& e) override
    {
        gone = e;
        calls.push_back("gone");
    }
    void OnRendererGone(const page::RendererGone& e) override { calls.push_back("crashed:" + e.targetId); }
};

TEST(ProtocolEventsTest, EventsLackingWhatTheirFunctionNeedsAreDropped)
{
    const struct {
        const char* method;
        const char* params;
        bool dispatched;
    } cases[] = {
        {"Page.frameNavigated", R"({"frame":{"id":"F","url":"http://a/"}})", true},
        {"Page.frameNavigated", R"({})", false},
        {"Page.frameNavigated", R"({"frame":"str"})", false},
        {"Page.frameNavigated", R"({"frame":{"id":7,"url":[]}})", false},
        {"Page.navigatedWithinDocument", R"({"frameId":"F","url":"http://a/#x"})", true},
        {"Page.navigatedWithinDocument", R"({"frameId":"F"})", false},
        {"Page.lifecycleEvent", R"({"frameId":"F","name":"load"})", true},
        {"Page.lifecycleEvent", R"({"name":5,"frameId":{}})", false},
        {"Runtime.executionContextCreated", R"({"context":{"id":3,"auxData":{"frameId":"F","isDefault":true}}})", true},
        {"Runtime.executionContextCreated", R"({"context":{"auxData":3}})", false},
        {"Runtime.executionContextCreated", R"({})", false},
        {"Page.screencastFrame", R"({"data":5,"sessionId":"x"})", true},  // still acknowledged
        {"Network.responseReceived", R"({"requestId":"R","response":"x"})", true},
        {"Network.loadingFailed", R"({"type":"Document","requestId":"R","errorText":"net::ERR_FAILED"})", true},
        {"Network.loadingFailed", R"({"type":"Document","requestId":[]})", false},
        {"Runtime.bindingCalled", R"({"name":"t","payload":"Title","executionContextId":1})", true},
        {"Runtime.bindingCalled", R"({"payload":"Title"})", false},
        {"Page.unknownEvent", R"({})", false},
        {"Page.frameNavigated", R"([1])", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + c.params);
        Recorder r;
        EXPECT_EQ(page::Dispatch(c.method, Json::parse(c.params), r), c.dispatched);
        EXPECT_EQ(r.calls.size(), c.dispatched ? 1u : 0u);
    }
}

TEST(ProtocolEventsTest, FieldsOfTheWrongTypeReadAsTheirFallback)
{
    Recorder r;
    ASSERT_TRUE(page::Dispatch("Page.screencastFrame", Json::parse(R"({"data":5,"sessionId":"x"})"), r));
    EXPECT_EQ(r.frame.data, nullptr);
    EXPECT_EQ(r.frame.ackId, 0);
    EXPECT_EQ(r.frame.scrollX, 0);
    ASSERT_TRUE(page::Dispatch(
        "Page.screencastFrame",
        Json::parse(R"({"data":"","sessionId":2,"metadata":{"scrollOffsetX":"7","scrollOffsetY":null}})"), r));
    EXPECT_EQ(r.frame.scrollX, 0);
    EXPECT_EQ(r.frame.scrollY, 0);
    ASSERT_TRUE(page::Dispatch(
        "Page.screencastFrame",
        Json::parse(R"({"data":"","sessionId":2,"metadata":{"scrollOffsetX":3,"scrollOffsetY":120.5,"deviceWidth":800,"deviceHeight":"6"}})"),
        r));
    EXPECT_EQ(r.frame.scrollX, 3);
    EXPECT_EQ(r.frame.scrollY, 120.5);
    EXPECT_EQ(r.frame.viewWidth, 800);
    EXPECT_EQ(r.frame.viewHeight, 0);
    ASSERT_TRUE(page::Dispatch("Page.frameNavigated",
                               Json::parse(R"({"frame":{"id":"F","parentId":9,"name":null,"unreachableUrl":"u"}})"),
                               r));
    EXPECT_EQ(r.navigated.frameId, "F");
    EXPECT_EQ(r.navigated.parentId, "");
    EXPECT_TRUE(r.navigated.errorPage);
    ASSERT_TRUE(page::Dispatch("Runtime.executionContextCreated",
                               Json::parse(R"({"context":{"id":1e300,"auxData":{"frameId":"F","isDefault":"yes"}}})"),
                               r));
    EXPECT_EQ(r.context.contextId, 0);
    EXPECT_FALSE(r.context.isDefault);
    ASSERT_TRUE(page::Dispatch("Network.responseReceived",
                               Json::parse(R"({"requestId":"R","type":"Document","response":{"status":404.0}})"), r));
    EXPECT_EQ(r.response.status, 404);
    EXPECT_TRUE(r.response.document);
}

TEST(ProtocolEventsTest, TargetEventsNameTheTargetOrTheSession)
{
    Recorder r;
    EXPECT_TRUE(target::Dispatch("Target.targetDestroyed", Json::parse(R"({"targetId":"T"})"), r));
    EXPECT_EQ(r.gone.targetId, "T");
    EXPECT_TRUE(target::Dispatch("Target.detachedFromTarget", Json::parse(R"({"sessionId":"S"})"), r));
    EXPECT_EQ(r.gone.sessionId, "S");
    EXPECT_FALSE(target::Dispatch("Target.targetCrashed", Json::parse(R"({"targetId":5})"), r));
    EXPECT_FALSE(target::Dispatch("Target.targetInfoChanged", Json::parse(R"({"targetInfo":[]})"), r));
    EXPECT_EQ(r.calls, (std::vector<std::string>{"gone", "gone"}));
}

TEST(ProtocolEventsTest, ACrashedRendererIsNotAGoneTarget)
{
    // A crashed page can be loaded again; a gone one closes its window.
    Recorder r;
    EXPECT_TRUE(target::Dispatch("Target.targetCrashed", Json::parse(R"({"targetId":"T","status":"killed"})"), r));
    EXPECT_TRUE(page::Dispatch("Inspector.targetCrashed", Json::object(), r));
    EXPECT_EQ(r.calls, (std::vector<std::string>{"crashed:T", "crashed:"}));
}

}  // namespace

TEST(CaretReportTest, ReadsPlacesAndRefusesAnythingElse)
{
    struct Case {
        const char* payload;
        bool read;
        CaretReport want;
    };
    const Case cases[] = {
        {"", true, {false, 0, 0, 0}},
        {"12,13,46", true, {true, 12, 13, 46}},
        {"-5,-7,1", true, {true, -5, -7, 1}},
        {"32767,0,4096", true, {true, 32767, 0, 4096}},
        {"32768,0,10", false, {}},
        {"0,0,4097", false, {}},
        {"0,0,0", false, {}},
        {"0,0,-3", false, {}},
        {"99999999999999999999,1,1", false, {}},
        {"1,2", false, {}},
        {"1,2,3,", false, {}},
        {"1,2,3 ", false, {}},
        {" 1,2,3", false, {}},
        {"1.5,2,3", false, {}},
        {"-,2,3", false, {}},
        {"1,,3", false, {}},
        {"null", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.payload);
        CaretReport r;
        r.x = 777;  // a refused report leaves the last one as it was
        ASSERT_EQ(ReadCaretReport(c.payload, r), c.read);
        if (!c.read) {
            EXPECT_EQ(r.x, 777);
            continue;
        }
        EXPECT_EQ(r.shown, c.want.shown);
        EXPECT_EQ(r.x, c.want.x);
        EXPECT_EQ(r.y, c.want.y);
        EXPECT_EQ(r.height, c.want.height);
    }
}

TEST(PageScaleTest, MapsWindowPixelsToCssPixelsAtEachDensity)
{
    struct Case {
        int dpi;
        int effectiveDpi;  // after refusing what no screen has
        int window;        // device pixels
        int css;
        int grid;
    };
    const Case cases[] = {
        {96, 96, 1200, 1200, 1},  {120, 120, 1200, 960, 5}, {144, 144, 1200, 800, 3}, {192, 192, 1201, 601, 2},
        {288, 288, 900, 300, 3},  {0, 96, 800, 800, 1},     {-5, 96, 800, 800, 1},    {100000, 96, 800, 800, 1},
        {192, 192, 0, 1, 2},      {192, 192, 1, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        const PageScale scale(c.dpi);
        EXPECT_EQ(scale.Dpi(), c.effectiveDpi);
        EXPECT_EQ(scale.CssLength(c.window), c.css);
        EXPECT_EQ(scale.Grid(), c.grid);
        // A whole grid step is a whole number of CSS pixels.
        EXPECT_EQ(scale.Grid() * PageScale::kBaseDpi % scale.Dpi(), 0);
        // Input lands where it points: there and back again.
        for (int px : {0, 1, 7, 599, 1199}) EXPECT_EQ(scale.ToDevice(scale.ToCss(px)), px);
    }
    EXPECT_EQ(PageScale(192).ToDevice(1e300), 1000000000);
    EXPECT_EQ(PageScale(192).ToDevice(-1e300), -1000000000);
}

TEST(PageScaleTest, PartsOfThePictureAreWidenedToWholeCssPixels)
{
    struct Case {
        int dpi, lo, hi, limit;
        bool fits;
        int wantLo, wantHi;
    };
    const Case cases[] = {
        {96, 5, 9, 100, true, 5, 9},       {144, 4, 8, 100, true, 3, 9},    {144, 3, 9, 100, true, 3, 9},
        {120, 1, 2, 100, true, 0, 5},      {192, 97, 99, 100, true, 96, 100}, {192, 97, 99, 99, true, 96, 100}, {144, 98, 99, 100, true, 96, 99}, {144, 98, 100, 100, true, 96, 102},
        {144, -4, 2, 100, true, 0, 3},     {144, 5, 5, 100, false, 0, 0},   {192, 0, 1000, 101, true, 0, 102}, {192, 0, 1000, 102, true, 0, 102},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dpi << " [" << c.lo << "," << c.hi << ")");
        int lo = c.lo, hi = c.hi;
        ASSERT_EQ(PageScale(c.dpi).AlignToGrid(lo, hi, c.limit), c.fits);
        if (!c.fits) continue;
        EXPECT_EQ(lo, c.wantLo);
        EXPECT_EQ(hi, c.wantHi);
    }
}
