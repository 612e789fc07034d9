// The runtime's thread hand-offs without an engine: the UI-thread dispatcher
// when the runtime stops with work still queued, and the WebSocket client
// stopped from another thread while its reader is blocked, and connecting
// to an engine that does not accept.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "RuntimeTestSupport.h"
#include "runtime/engine/LoopbackSocket.h"
#include "runtime/engine/UiDispatcher.h"
#include "runtime/engine/WebSocketClient.h"

namespace {

// Counts the live instances, so a task that is neither run nor released
// shows as a leak.
class Token : public CefBase {
public:
    explicit Token(std::atomic<int>* live) : m_live(live) { ++*m_live; }
    ~Token() override { --*m_live; }
    IMPLEMENT_REFCOUNTING(Token);

private:
    std::atomic<int>* m_live;
};

void PumpPending()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

TEST(UiDispatcherTest, QueuedTasksRunInOrderOnTheUiThread)
{
    vxrt::UiDispatcher ui;
    ASSERT_TRUE(ui.Create());
    std::vector<int> order;
    std::vector<DWORD> threads;
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i)
            ui.Post([&order, &threads, i] {
                order.push_back(i);
                threads.push_back(GetCurrentThreadId());
            });
    });
    worker.join();
    ASSERT_TRUE(vxtest::PumpUntil([&] { return order.size() == 3; }, 5000));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    for (DWORD t : threads) EXPECT_EQ(t, GetCurrentThreadId());
    ui.Destroy();
}

TEST(UiDispatcherTest, StoppingDropsQueuedTasksUnrunAndReleasesWhatTheyHold)
{
    std::atomic<int> live{0};
    int ran = 0;
    {
        vxrt::UiDispatcher ui;
        ASSERT_TRUE(ui.Create());
        for (int i = 0; i < 50; ++i) {
            CefRefPtr<Token> token = new Token(&live);
            ui.Post([token, &ran] { ++ran; });
        }
        EXPECT_EQ(live.load(), 50);
        ui.Destroy();
        EXPECT_EQ(live.load(), 0);
        // Posted after the stop: dropped at once, released by the poster.
        CefRefPtr<Token> late = new Token(&live);
        ui.Post([late, &ran] { ++ran; });
        late = nullptr;
        EXPECT_EQ(live.load(), 0);
        PumpPending();
    }
    EXPECT_EQ(ran, 0);
}

TEST(UiDispatcherTest, PostsRacingTheStopAreEachRunOrReleasedNeverLost)
{
    std::atomic<int> live{0};
    std::atomic<int> ran{0};
    for (int round = 0; round < 20; ++round) {
        vxrt::UiDispatcher ui;
        ASSERT_TRUE(ui.Create());
        std::atomic<bool> go{false};
        std::thread poster([&] {
            while (!go) std::this_thread::yield();
            for (int i = 0; i < 200; ++i) {
                CefRefPtr<Token> token = new Token(&live);
                ui.Post([token, &ran] { ++ran; });
            }
        });
        go = true;
        PumpPending();
        ui.Destroy();
        poster.join();
        PumpPending();
        EXPECT_EQ(live.load(), 0) << "round " << round;
    }
}

TEST(WebSocketClientTest, ShutdownFromAnotherThreadWakesABlockedReaderAndSendsFail)
{
    const int port = vxtest::StartLoopbackServer(L"fake_devtools.py", L"drop");
    ASSERT_GT(port, 0);
    vxrt::WebSocketClient ws;
    ASSERT_TRUE(ws.Connect(static_cast<unsigned short>(port), "/devtools/browser/fake", 5000));
    std::atomic<bool> returned{false};
    vxrt::WebSocketClient::ReadResult result = vxrt::WebSocketClient::ReadResult::Message;
    std::thread reader([&] {
        std::string message;
        // Nothing is sent before a navigation: the reader blocks.
        result = ws.Read(message, 60000);
        returned = true;
    });
    Sleep(0);
    // The reader is waiting when this runs or starts waiting right after;
    // either way it must come back at once, not after its minute.
    const DWORD start = GetTickCount();
    ws.Shutdown();
    EXPECT_TRUE(vxtest::PumpUntil([&] { return returned.load(); }, 5000));
    reader.join();
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_EQ(result, vxrt::WebSocketClient::ReadResult::Closed);
    EXPECT_FALSE(ws.SendText("{}"));
    EXPECT_TRUE(ws.IsOpen());  // shut down, not yet freed: the owner closes
    ws.Close();
    EXPECT_FALSE(ws.IsOpen());
}

// A listener on loopback that never accepts: once its queue is full, further
// connections are neither accepted nor refused, as with an engine that is
// busy or ending.
class StalledListener {
public:
    StalledListener()
    {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof addr;
        if (bind(m_socket, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
            getsockname(m_socket, reinterpret_cast<sockaddr*>(&addr), &length) == 0 && listen(m_socket, 1) == 0)
            m_port = ntohs(addr.sin_port);
    }
    ~StalledListener()
    {
        closesocket(m_socket);
        WSACleanup();
    }
    unsigned short Port() const { return m_port; }

private:
    SOCKET m_socket = INVALID_SOCKET;
    unsigned short m_port = 0;
};

TEST(LoopbackSocketTest, AListenerThatStopsAcceptingIsGivenUpOnInTime)
{
    StalledListener listener;
    ASSERT_NE(listener.Port(), 0);
    std::vector<SOCKET> held;
    bool stalled = false;
    for (int i = 0; i < 32 && !stalled; ++i) {
        bool refused = true;
        const DWORD start = GetTickCount();
        SOCKET s = vxrt::ConnectLoopback(listener.Port(), 500, &refused);
        EXPECT_LT(GetTickCount() - start, 3000u) << "attempt " << i;
        if (s == INVALID_SOCKET) {
            stalled = true;
            EXPECT_FALSE(refused) << "a full queue is no refusal";
        } else {
            held.push_back(s);
        }
    }
    EXPECT_TRUE(stalled) << held.size() << " connections queued without an accept";
    for (SOCKET s : held) closesocket(s);
}

TEST(LoopbackSocketTest, APortNobodyListensOnIsRefused)
{
    unsigned short port = 0;
    {
        StalledListener gone;
        port = gone.Port();
    }
    ASSERT_NE(port, 0);
    bool refused = false;
    EXPECT_EQ(vxrt::ConnectLoopback(port, 2000, &refused), INVALID_SOCKET);
    EXPECT_TRUE(refused);
}

}  // namespace
