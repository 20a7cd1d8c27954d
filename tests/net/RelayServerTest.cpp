#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <stdlib.h>
#include <thread>

#include "NetMessages.h"
#include "net/RelayClient.h"
#include "net/RelayServer.h"

namespace
{

// A relay on loopback and its clients, all driven from this thread: every
// wait services the relay and every client in turn until a condition holds
// or a deadline passes.
class Loopback : public ::testing::Test
{
  protected:
    // Each test runs in an empty folder of its own, which the relay must
    // leave empty: whatever the players send, it writes no file.
    void SetUp() override
    {
        logFile = std::tmpfile();
        ASSERT_NE(logFile, nullptr);
        char pattern[] = "/tmp/korvane-relay-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder);
    }
    void TearDown() override
    {
        clients.clear();
        server.reset();
        std::fclose(logFile);
        EXPECT_TRUE(std::filesystem::is_empty(folder)) << "the relay wrote a file";
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
    }

    RelayClient& NewClient()
    {
        clients.push_back(std::make_unique<RelayClient>());
        RelayClient& client = *clients.back();
        bool connected = false;
        std::string error;
        // The relay must answer the handshake while the client waits for it.
        std::thread relay(
            [&]
            {
                for (int k = 0; k < 200 && !connected; k++)
                    server->Service(5);
            });
        connected = client.Connect("127.0.0.1", server->Port(), 2000, 60.0, error);
        relay.join();
        EXPECT_TRUE(connected) << error;
        return client;
    }

    // Services everything until done() or seconds pass; true when done.
    bool PumpUntil(const std::function<bool()>& done, double seconds = 5.0,
                   const RelayClient* silent = nullptr)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < deadline)
        {
            server->Service(1);
            for (auto& client : clients)
                if (client.get() != silent)
                    client->Poll(1);
            if (done())
                return true;
        }
        return false;
    }

    // The next message of the type on client, others dropped (with silent
    // left unserviced meanwhile); none in time fails the case and gives an
    // empty message.
    Message Next(RelayClient& client, MessageType type, double seconds = 5.0,
                 const RelayClient* silent = nullptr)
    {
        Message got;
        const auto arrived = [&]
        {
            while (client.Receive(got))
                if (got.type == type)
                    return true;
            return false;
        };
        if (PumpUntil(arrived, seconds, silent))
            return got;
        ADD_FAILURE() << "no message of type " << int(type) << " came";
        return Message();
    }

    std::string Log()
    {
        std::fflush(logFile);
        std::ifstream in("/proc/self/fd/" + std::to_string(fileno(logFile)));
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // A relay that times a silent machine out after timeoutSeconds; Ann (the
    // host), Bo and Cy joined and the game begun, the host to play.
    void ThreePlayers(double timeoutSeconds = 60.0)
    {
        RelayConfig config;
        config.address = "127.0.0.1";
        config.port = 0;
        config.timeoutSeconds = timeoutSeconds;
        server = std::make_unique<RelayServer>(config, logFile);
        std::string error;
        ASSERT_TRUE(server->Open(error)) << error;
        ASSERT_NE(server->Port(), 0);
        host = &NewClient();
        ASSERT_TRUE(host->Send(Host({SeatPlan::HostHuman, SeatPlan::Open, SeatPlan::Open})));
        bo = &NewClient();
        ASSERT_TRUE(bo->Send(Join("Bo")));
        cy = &NewClient();
        ASSERT_TRUE(cy->Send(Join("Cy")));
        ASSERT_TRUE(PumpUntil([&] { return server->Game().Seats()[2].presence == SeatPresence::Present; }));
        ASSERT_TRUE(host->Send(Turn(0, 0, 5000)));
        for (RelayClient* other : {bo, cy})
            ASSERT_EQ(Next(*other, MessageType::Turn).snapshot.size(), 5000u);
        // Everything still in flight arrives and is forgotten.
        PumpUntil([] { return false; }, 0.2);
        Message m;
        for (auto& client : clients)
            while (client->Receive(m))
                ;
    }

    std::FILE* logFile = nullptr;
    std::string folder;
    std::filesystem::path previous;
    std::unique_ptr<RelayServer> server;
    std::vector<std::unique_ptr<RelayClient>> clients;
    RelayClient* host = nullptr;
    RelayClient* bo = nullptr;
    RelayClient* cy = nullptr;
};

} // namespace

TEST_F(Loopback, TheLargestSnapshotTravelsWholeToEveryOtherMachine)
{
    ASSERT_NO_FATAL_FAILURE(ThreePlayers());
    const Message sent = Turn(1, 1, kMaxSnapshotBytes);
    ASSERT_TRUE(host->Send(sent));
    for (RelayClient* other : {bo, cy})
    {
        const Message got = Next(*other, MessageType::Turn, 20.0);
        EXPECT_TRUE(EncodeMessage(got) == EncodeMessage(sent))
            << "a turn of " << got.snapshot.size() << " bytes";
    }
}

TEST_F(Loopback, AnOversizedMessageLosesItsConnectionAndTheGameGoesOn)
{
    ASSERT_NO_FATAL_FAILURE(ThreePlayers());
    // Bo sends a turn larger than the protocol allows: dropped, and so is Bo.
    std::vector<uint8_t> oversized = EncodeMessage(Turn(1, 1, 16));
    oversized.resize(kMaxMessageBytes + 1000, 0);
    ASSERT_TRUE(bo->SendBytes(oversized));
    ASSERT_TRUE(PumpUntil([&] { return !bo->IsConnected(); }, 20.0));
    EXPECT_NE(Log().find("too large"), std::string::npos) << Log();
    const Message event = Next(*cy, MessageType::SeatEvent);
    EXPECT_EQ(event.seat, 1);
    EXPECT_EQ(event.event, SeatEventKind::Left);

    // The game goes on between the others.
    ASSERT_TRUE(host->Send(Turn(1, 2, 100)));
    EXPECT_EQ(Next(*cy, MessageType::Turn).turn, 1u);
}

TEST_F(Loopback, ASilentMachineTimesOut)
{
    ASSERT_NO_FATAL_FAILURE(ThreePlayers(1.0));

    // Bo stops answering (a hung program): the relay tells the others.
    const auto silentSince = std::chrono::steady_clock::now();
    const Message event = Next(*host, MessageType::SeatEvent, 15.0, bo);
    const double waited =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - silentSince).count();
    EXPECT_EQ(event.event, SeatEventKind::TimedOut);
    EXPECT_EQ(event.seat, 1);
    EXPECT_GE(waited, 0.9);
    EXPECT_LT(waited, 4.5); // ENet's own default would wait 5 to 30 seconds
}

TEST_F(Loopback, AMachineThatLeavesIsReportedAsLeft)
{
    ASSERT_NO_FATAL_FAILURE(ThreePlayers());
    // Cy stops waiting while its last message is unacknowledged (the relay is
    // not serviced meanwhile, as if it were starved): the relay is told all the same.
    ASSERT_TRUE(cy->Send(Turn(5, 0, 10)));
    cy->Leave(100);
    const Message event = Next(*host, MessageType::SeatEvent);
    EXPECT_EQ(event.event, SeatEventKind::Left);
    EXPECT_EQ(event.seat, 2);
}
