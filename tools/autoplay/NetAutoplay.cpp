#include "NetAutoplay.h"

#include <chrono>
#include <thread>

#include "AutoplayGame.h"
#include "app/TurnPlay.h"
#include "game/Game.h"
#include "math/Random.h"
#include "net/ByteStream.h"
#include "net/RelayAddress.h"
#include "players/AutoPlayer.h"
#include "players/Player.h"
#include "save/GameSnapshot.h"
#include "save/SnapshotCodec.h"
#include "ships/Ship.h"
#include "world/Environment.h"

const char* const kNetAutoplayUsage =
    "  Through a relay (korvane-server), one process per machine:\n"
    "  --host ADDRESS[:PORT] --code CODE [--name N] [--seats LIST]\n"
    "                   open the game (its --map, --players, --seed, --max-rounds) on\n"
    "                   the relay; this process plays the seats in LIST (such as 1,3;\n"
    "                   default 1) and the others wait for --join\n"
    "  --join ADDRESS[:PORT] --code CODE --name N\n"
    "                   join the game with that code and play the seat given (or the\n"
    "                   seat this name held, when coming back)\n"
    "  --net-timeout S  give up after S seconds without a turn (1 to 3600, default 300)\n";

namespace
{

using Clock = std::chrono::steady_clock;

// The set-up the host sends: what every machine needs to build the game.
std::vector<uint8_t> EncodeSettings(const AutoplayOptions& o)
{
    ByteWriter out;
    out.ShortString(o.map);
    out.U8(uint8_t(o.players));
    out.U32(o.seed);
    out.U32(uint32_t(o.maxRounds));
    return out.Take();
}

bool DecodeSettings(const std::vector<uint8_t>& bytes, AutoplayOptions& o)
{
    ByteReader in(bytes.data(), bytes.size());
    o.map = in.ShortString(64);
    o.players = in.U8();
    o.seed = in.U32();
    o.maxRounds = int(in.U32());
    return in.Ok() && in.AtEnd() && o.players >= 2 && o.players <= 4 && o.maxRounds >= 1 &&
           o.maxRounds <= 100000 && !o.map.empty() && o.map.find_first_of("/\\.") == std::string::npos;
}

std::vector<uint8_t> JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
    {
        if (text.size() + line.size() + 1 > kMaxReportBytes)
        {
            break;
        }
        text += (text.empty() ? "" : "\n") + line;
    }
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<std::string> SplitLines(const std::vector<uint8_t>& bytes)
{
    std::vector<std::string> lines;
    std::string line;
    for (uint8_t b : bytes)
    {
        if (b == '\n')
        {
            lines.push_back(line);
            line.clear();
        }
        else if (b >= ' ' && b <= '~')
        {
            line += char(b);
        }
    }
    if (!line.empty())
    {
        lines.push_back(line);
    }
    return lines;
}

bool ReadNumberList(const std::string& text, std::vector<int>& seats)
{
    seats.clear();
    size_t start = 0;
    while (start <= text.size())
    {
        const size_t comma = text.find(',', start);
        const std::string part =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (part.size() != 1 || part[0] < '1' || part[0] > '4')
        {
            return false;
        }
        seats.push_back(part[0] - '1');
        if (comma == std::string::npos)
        {
            break;
        }
        start = comma + 1;
    }
    return !seats.empty();
}

} // namespace

bool ParseNetAutoplayOptions(int argc, const char* const argv[], NetAutoplayOptions& options,
                             std::vector<const char*>& rest, std::string& error)
{
    rest.assign(argv, argv + 1);
    for (int i = 1; i < argc; i++)
    {
        const std::string option = argv[i];
        if (option != "--host" && option != "--join" && option != "--code" && option != "--name" &&
            option != "--seats" && option != "--net-timeout")
        {
            rest.push_back(argv[i]);
            continue;
        }
        if (i + 1 >= argc)
        {
            error = option + " needs a value";
            return false;
        }
        const std::string value = argv[++i];
        if (option == "--host" || option == "--join")
        {
            std::string host;
            unsigned short port = 0;
            if (!ParseRelayAddress(value, host, port, error))
            {
                error = option + ": " + error;
                return false;
            }
            (option == "--host" ? options.host : options.join) = true;
            options.relay = value;
        }
        else if (option == "--code")
        {
            if (!IsValidCode(value))
            {
                error = "--code takes 6 to 16 capital letters and digits, not " + value;
                return false;
            }
            options.code = value;
        }
        else if (option == "--name")
        {
            if (!IsValidName(value))
            {
                error = "--name takes 1 to 20 plain characters";
                return false;
            }
            options.name = value;
        }
        else if (option == "--seats")
        {
            if (!ReadNumberList(value, options.seats))
            {
                error = "--seats takes seat numbers from 1 to 4 such as 1,3, not " + value;
                return false;
            }
        }
        else
        {
            long seconds = 0;
            if (value.empty() || value.size() > 4 ||
                value.find_first_not_of("0123456789") != std::string::npos ||
                (seconds = std::stol(value)) < 1 || seconds > 3600)
            {
                error = "--net-timeout takes a number of seconds from 1 to 3600, not " + value;
                return false;
            }
            options.timeoutSeconds = int(seconds);
        }
    }
    if (options.host && options.join)
    {
        error = "--host and --join cannot go together";
        return false;
    }
    if ((options.host || options.join) && options.code.empty())
    {
        error = "a network game needs --code";
        return false;
    }
    if (!options.host && !options.join &&
        (!options.code.empty() || !options.name.empty() || !options.seats.empty()))
    {
        error = "--code, --name and --seats go with --host or --join";
        return false;
    }
    if (options.join && options.name.empty())
    {
        error = "--join needs --name (the same name joins the same seat again)";
        return false;
    }
    if (options.join && !options.seats.empty())
    {
        error = "--seats goes with --host; a joining machine takes the seat it is given";
        return false;
    }
    if (options.host && options.name.empty())
    {
        options.name = "Host";
    }
    if (options.host && options.seats.empty())
    {
        options.seats.push_back(0);
    }
    return true;
}

NetAutoplay::NetAutoplay(const AutoplayOptions& game_, const NetAutoplayOptions& net_, std::FILE* out_)
    : options(game_), net(net_), out(out_), game(nullptr), ticksSincePoll(0), begun(false), finished(false)
{
}

NetAutoplay::~NetAutoplay()
{
    delete game;
}

int NetAutoplay::Run()
{
    if (!Connect())
    {
        return 1;
    }
    Clock::time_point lastProgress = Clock::now();
    for (;;)
    {
        session.Poll(5);
        std::string notice;
        while (session.TakeNotice(notice))
        {
            std::fprintf(stderr, "korvane-autoplay: %s\n", notice.c_str());
        }
        if (net.host && !begun && session.GetPhase() == NetSession::Phase::Lobby && !session.GameStarted() &&
            session.AllSeatsTaken())
        {
            BeginAsHost();
            lastProgress = Clock::now();
        }
        Message turn;
        while (session.TakeNewTurn(turn))
        {
            if (!Load(turn))
            {
                return 1;
            }
            lastProgress = Clock::now();
            if (turn.gameOver)
            {
                return Finish(turn.winner);
            }
        }
        if (session.GetPhase() == NetSession::Phase::Failed)
        {
            return Fail(session.FailReason());
        }
        if (session.MustPlay())
        {
            PlayOwnTurn();
            lastProgress = Clock::now();
            if (session.GetPhase() == NetSession::Phase::Over)
            {
                return Finish(session.LatestTurn().winner);
            }
        }
        if (Clock::now() - lastProgress > std::chrono::seconds(net.timeoutSeconds))
        {
            return Fail("no turn for " + std::to_string(net.timeoutSeconds) + " seconds");
        }
    }
}

bool NetAutoplay::Connect()
{
    std::string host, error;
    unsigned short port = 0;
    ParseRelayAddress(net.relay, host, port, error);
    bool connected = false;
    if (net.host)
    {
        std::vector<SeatPlan> plan(size_t(options.players), SeatPlan::Open);
        for (int seat : net.seats)
        {
            if (seat < options.players)
            {
                plan[size_t(seat)] = SeatPlan::HostComputer;
            }
        }
        connected = session.Host(host, port, net.code, net.name, plan, EncodeSettings(options), error);
    }
    else
    {
        connected = session.Join(host, port, net.code, net.name, error);
    }
    if (!connected)
    {
        Fail(error);
    }
    return connected;
}

void NetAutoplay::AttachComputers()
{
    for (Player* player : game->GetPlayers())
    {
        if (player->computer == nullptr)
        {
            player->seat = SeatKind::ComputerEasy;
            player->computer = std::make_unique<AutoPlayer>(*game, *player, options.seed);
        }
    }
    wrecksSeen.clear();
    for (const Ship* wreck : game->GetWrecks())
    {
        wrecksSeen.insert(wreck->GetId());
    }
}

void NetAutoplay::BeginAsHost()
{
    begun = true;
    game = new Game(options.players, options.map);
    // The game seeds its generator when the map is set up; the seed given
    // takes over from that point, as in a game played on one machine.
    SeedRandom(options.seed);
    AttachComputers();
    const Snapshot snapshot = CaptureSnapshot(*game);
    uint64_t hash = 0;
    const std::vector<uint8_t> encoded = EncodeSnapshot(snapshot, hash);
    session.Begin(uint8_t(game->currentPlayerPos), hash, encoded);
}

bool NetAutoplay::Load(const Message& turn)
{
    if (!begun)
    {
        // The first turn that arrives carries the set-up too.
        if (!DecodeSettings(session.Settings(), options))
        {
            Fail("the host's set-up cannot be read");
            return false;
        }
        begun = true;
    }
    Snapshot snapshot;
    std::string error;
    if (!DecodeSnapshot(turn.snapshot, snapshot, error))
    {
        session.ReportMismatch(turn, 0);
        Fail("the snapshot of turn " + std::to_string(turn.turn) + " cannot be read: " + error);
        return false;
    }
    // The game held so far lends its models: they are the same files.
    uint64_t found = 0;
    Game* loaded = RestoreCheckedGame(snapshot, turn.hash, game, error, found);
    if (loaded == nullptr)
    {
        session.ReportMismatch(turn, found);
        Fail(error.empty() ? session.FailReason()
                           : "the game of turn " + std::to_string(turn.turn) + " cannot be built: " + error);
        return false;
    }
    delete game;
    game = loaded;
    AttachComputers();
    if (turn.turn > 0)
    {
        for (const std::string& line : SplitLines(turn.report))
        {
            lostThisRound.push_back(line);
        }
        AfterTurn(turn.gameOver, turn.winner);
    }
    return true;
}

void NetAutoplay::PlayOwnTurn()
{
    // As korvane-autoplay plays a turn: one step of the clouds seen from
    // this player's camera, the scripted player until the turn is over, the
    // change of player.
    Player& player = *game->GetCurrentPlayer();
    game->GetEnvironment()->Update(player.GetEyePosition(), player.GetViewDirection());
    game->SetState(0);
    lostThisTurn.clear();
    player.computer->PlayTurn([this]() { Tick(); });
    game->NextPlayer();
    const int players = int(game->GetPlayers().size());
    const bool decided = game->GetState() == 2;
    const bool lastRound = game->turnsEnded % uint32_t(players) == 0 &&
                           int(game->turnsEnded / uint32_t(players)) >= options.maxRounds;
    const bool over = decided || lastRound;
    const uint8_t winner = decided && game->WinnerIndex() >= 0 ? uint8_t(game->WinnerIndex()) : kNoSeat;
    const Snapshot snapshot = CaptureSnapshot(*game);
    uint64_t hash = 0;
    const std::vector<uint8_t> encoded = EncodeSnapshot(snapshot, hash);
    session.EndTurn(uint8_t(game->currentPlayerPos), over, winner, hash, encoded, JoinLines(lostThisTurn));
    for (const std::string& line : lostThisTurn)
    {
        lostThisRound.push_back(line);
    }
    AfterTurn(over, winner);
}

void NetAutoplay::Tick()
{
    const Clock::time_point start = Clock::now();
    AdvanceGameTick(*game);
    tickSeconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    for (const Ship* wreck : game->GetWrecks())
    {
        if (wrecksSeen.insert(wreck->GetId()).second)
        {
            lostThisTurn.push_back(LossName(*wreck));
        }
    }
    // Keep the connection answered during a long turn.
    if (++ticksSincePoll >= 30)
    {
        ticksSincePoll = 0;
        session.Poll(0);
    }
}

void NetAutoplay::AfterTurn(bool over, uint8_t /*winner*/)
{
    const uint32_t players = uint32_t(game->GetPlayers().size());
    if (game->turnsEnded % players != 0 && !over)
    {
        return;
    }
    const int round = int((game->turnsEnded - 1) / players) + 1;
    std::fprintf(out, "%s\n", RoundLine(*game, round, lostThisRound).c_str());
    std::fflush(out);
    lostThisRound.clear();
}

int NetAutoplay::Finish(uint8_t winner)
{
    const uint32_t players = uint32_t(game->GetPlayers().size());
    const int round = int((game->turnsEnded - 1) / players) + 1;
    std::fprintf(out, "tick time: %s\n", TimeFigures(tickSeconds, 0.99, "ticks").c_str());
    if (winner == kNoSeat)
    {
        std::fprintf(out, "winner none after %d rounds\n", round);
    }
    else
    {
        std::fprintf(out, "winner %d after %d rounds\n", winner + 1, round);
    }
    std::fflush(out);
    // The last turn may be this machine's: leave only once the relay has it
    // (at most a minute, however lossy the link).
    session.Leave(60000);
    return 0;
}

int NetAutoplay::Fail(const std::string& reason)
{
    std::fprintf(stderr, "korvane-autoplay: network game failed: %s\n", reason.c_str());
    return 1;
}
