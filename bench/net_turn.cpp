// What a network turn adds to a turn's wall time, over loopback, for a
// four-player game at its largest: the playing machine takes and encodes
// the snapshot and sends it; the relay passes it on; the next machine
// decodes it, rebuilds the game, takes its snapshot again and checks the
// hash. Goal: at most 100 ms (docs/network.md). The relay runs in a thread
// of its own, as it would run in a process of its own.
// Run under a display, for example:
//   cd build/data && ../../tests/with-xvfb.sh ../bench/bench_net_turn
#include "BenchDisplay.h"
#include "LargestGame.h"
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "net/NetSession.h"
#include "net/RelayServer.h"
#include "save/GameSnapshot.h"
#include "save/SnapshotCodec.h"

namespace
{

// Waits, polling both machines, until done() or ten seconds have passed.
template <class Done> bool PollUntil(NetSession& a, NetSession& b, Done done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline)
    {
        a.Poll(0);
        b.Poll(0);
        if (done())
            return true;
    }
    return false;
}

void BM_NetworkTurn(benchmark::State& state)
{
    if (!OpenBenchDisplay())
    {
        state.SkipWithError("no display");
        return;
    }
    std::unique_ptr<Game> largest = LargestGame();
    std::FILE* log = std::tmpfile();
    RelayConfig config;
    config.address = "127.0.0.1";
    config.port = 0;
    RelayServer relay(config, log);
    std::string error;
    if (!relay.Open(error))
    {
        state.SkipWithError(error.c_str());
        return;
    }
    std::atomic<bool> stop{false};
    std::thread relayThread(
        [&]
        {
            while (!stop)
                relay.Service(1);
        });

    // Two machines, the one that plays and the next; the relay sees only
    // bytes, so two seats carry the four-player game as well as four.
    NetSession player, next;
    const std::vector<SeatPlan> plan = {SeatPlan::HostComputer, SeatPlan::Open};
    bool ready = player.Host("127.0.0.1", relay.Port(), "BENCH1", "Host", plan, {}, error) &&
                 next.Join("127.0.0.1", relay.Port(), "BENCH1", "Next", error);
    if (ready)
    {
        PollUntil(player, next, [&] { return player.AllSeatsTaken(); });
        player.Begin(0, 0, {});
        Message turn;
        ready = PollUntil(player, next, [&] { return next.TakeNewTurn(turn); });
    }
    std::unique_ptr<Game> held = LargestGame();
    size_t bytes = 0;
    for (auto _ : state)
    {
        if (!ready)
        {
            state.SkipWithError(("no game through the relay: " + error).c_str());
            break;
        }
        const Snapshot sent = CaptureSnapshot(*largest);
        uint64_t hash = 0;
        const std::vector<uint8_t> encoded = EncodeSnapshot(sent, hash);
        bytes = encoded.size();
        player.EndTurn(1, false, kNoSeat, hash, encoded, {});
        Message turn;
        if (!PollUntil(player, next, [&] { return next.TakeNewTurn(turn); }))
        {
            state.SkipWithError("the turn did not arrive");
            break;
        }
        // The next machine holds the game of the turn before, whose models
        // the new one takes over; the old game goes.
        Snapshot received;
        std::unique_ptr<Game> rebuilt;
        if (DecodeSnapshot(turn.snapshot, received, error))
            rebuilt.reset(RestoreGame(received, error, held.get()));
        held.reset();
        if (!rebuilt || SnapshotHash(CaptureSnapshot(*rebuilt)) != turn.hash)
        {
            state.SkipWithError(("the turn did not rebuild the same game: " + error).c_str());
            break;
        }
        // Not measured: the turn handed straight back, so that the next one
        // is the first machine's again.
        state.PauseTiming();
        held = std::move(rebuilt);
        next.EndTurn(0, false, kNoSeat, turn.hash, {}, {});
        PollUntil(player, next, [&] { return player.TakeNewTurn(turn); });
        state.ResumeTiming();
    }
    state.counters["snapshot_bytes"] = double(bytes);
    stop = true;
    relayThread.join();
    std::fclose(log);
}
BENCHMARK(BM_NetworkTurn)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

namespace
{

// The parts of a network turn, each alone.
void BM_NetworkTurnPart(benchmark::State& state)
{
    if (!OpenBenchDisplay())
    {
        state.SkipWithError("no display");
        return;
    }
    std::unique_ptr<Game> largest = LargestGame();
    const std::vector<uint8_t> bytes = EncodeSnapshot(CaptureSnapshot(*largest));
    Snapshot decoded;
    std::string error;
    DecodeSnapshot(bytes, decoded, error);
    std::unique_ptr<Game> held(RestoreGame(decoded, error));
    for (auto _ : state)
    {
        switch (state.range(0))
        {
        case 0:
            benchmark::DoNotOptimize(EncodeSnapshot(CaptureSnapshot(*largest)));
            break;
        case 1:
            DecodeSnapshot(bytes, decoded, error);
            break;
        case 2:
            // As a machine does: the game held so far lends its models and goes.
            held.reset(RestoreGame(decoded, error, held.get()));
            break;
        case 3:
            benchmark::DoNotOptimize(SnapshotHash(CaptureSnapshot(*largest)));
            break;
        }
    }
    static const char* const kParts[] = {"capture and encode", "decode", "rebuild the game",
                                         "capture and hash"};
    state.SetLabel(kParts[state.range(0)]);
}
BENCHMARK(BM_NetworkTurnPart)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

} // namespace
