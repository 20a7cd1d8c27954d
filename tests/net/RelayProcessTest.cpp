#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <set>
#include <thread>

#include "net/Message.h"
#include "net/NetSession.h"
#include "net/RelayProcess.h"

namespace
{

unsigned short SomePort()
{
    return (unsigned short)(20000 +
                            (std::chrono::steady_clock::now().time_since_epoch().count() / 1000) % 30000);
}

// Polls the sessions until done() or seconds pass; true when done.
bool Within(double seconds, const std::function<bool()>& done,
            std::initializer_list<NetSession*> sessions = {})
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline)
    {
        for (NetSession* session : sessions)
            session->Poll(0);
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace

TEST(GameCode, SixCharactersThatCannotBeMisread)
{
    std::set<std::string> codes;
    for (int k = 0; k < 200; k++)
    {
        const std::string code = MakeGameCode();
        EXPECT_TRUE(IsValidCode(code)) << code;
        EXPECT_EQ(code.size(), 6u);
        EXPECT_EQ(code.find_first_of("IO01"), std::string::npos) << code;
        codes.insert(code);
    }
    EXPECT_GT(codes.size(), 190u); // 32^6 codes: repeats are rare
}

TEST(RelayProcess, AHostsRelayServesItsGameAndEndsWhenTheHostLeavesBeforeTheStart)
{
    const unsigned short port = SomePort();
    RelayProcess relay;
    std::string error;
    ASSERT_TRUE(relay.Start(KORVANE_SERVER, port, "PROC42", error)) << error;
    EXPECT_TRUE(relay.Running());

    // A second one on the same port is refused with the reason.
    RelayProcess second;
    EXPECT_FALSE(second.Start(KORVANE_SERVER, port, "PROC42", error));
    EXPECT_NE(error.find("in use"), std::string::npos) << error;
    EXPECT_FALSE(RelayProcess().Start("/nonexistent/korvane-server", port + 1, "PROC42", error));

    // Only the code it was started with opens a game there.
    NetSession stranger, host, guest;
    ASSERT_TRUE(
        stranger.Host("127.0.0.1", port, "OTHER1", "Cy", {SeatPlan::HostHuman, SeatPlan::Open}, {}, error))
        << error;
    EXPECT_TRUE(Within(5.0, [&] { return stranger.GetPhase() == NetSession::Phase::Failed; }, {&stranger}));
    EXPECT_EQ(stranger.FailReason(), "refused: wrong game code");
    ASSERT_TRUE(
        host.Host("127.0.0.1", port, "PROC42", "Ann", {SeatPlan::HostHuman, SeatPlan::Open}, {}, error))
        << error;
    ASSERT_TRUE(guest.Join("127.0.0.1", port, "PROC42", "Bo", error)) << error;
    EXPECT_TRUE(Within(5.0, [&] { return host.AllSeatsTaken(); }, {&host, &guest}));

    host.Leave();
    EXPECT_TRUE(Within(5.0, [&] { return !relay.Running(); })) << "the relay of a closed game still runs";
}

TEST(RelayProcess, StopEndsIt)
{
    RelayProcess relay;
    std::string error;
    ASSERT_TRUE(relay.Start(KORVANE_SERVER, SomePort(), "STOP42", error)) << error;
    relay.Stop();
    EXPECT_FALSE(relay.Running());
}
