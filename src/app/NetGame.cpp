#include "app/NetGame.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <atomic>
#include <cstdio>
#include <deque>
#include <thread>

#include "ai/ComputerPlayer.h"
#include "app/ComputerTurn.h"
#include "app/DisplayMode.h"
#include "app/FrameSwap.h"
#include "app/NetText.h"
#include "app/Startup.h"
#include "app/TurnCycle.h"
#include "app/TurnPlay.h"
#include "audio/GameSounds.h"
#include "game/Game.h"
#include "input/EventBatch.h"
#include "input/EventHandling.h"
#include "net/ByteStream.h"
#include "net/NetSession.h"
#include "net/RelayProcess.h"
#include "players/Player.h"
#include "save/GameSnapshot.h"
#include "save/SnapshotCodec.h"
#include "ui/Font.h"
#include "ui/Overlay.h"

namespace
{

const float kTitleColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float kLineColour[4] = {0.6f, 0.6f, 1.0f, 1.0f};
const float kBandColour[4] = {0.0f, 0.0f, 0.4f, 1.0f};

// The failure screen stays until a key or this long.
constexpr Uint32 kFailureScreenMs = 20000;
// How long the waiting screens wait for the relay on each pass.
constexpr uint32_t kPollMs = 20;
// The events kept for the waiting screen.
constexpr size_t kNoticesShown = 4;

// Keeps the connection to the relay answered while a screen of the game has
// the machine (a turn, a hand-over screen, the winner's fireworks): the
// relay takes a machine that stops answering for gone. Nothing else touches
// the session while it lives.
class SessionKeeper
{
  public:
    explicit SessionKeeper(NetSession& session_) : session(session_), stop(false), thread([this]() { Run(); })
    {
    }
    ~SessionKeeper()
    {
        stop = true;
        thread.join();
    }
    SessionKeeper(const SessionKeeper&) = delete;
    SessionKeeper& operator=(const SessionKeeper&) = delete;

  private:
    void Run()
    {
        while (!stop)
        {
            session.Poll(kPollMs);
        }
    }

    NetSession& session;
    std::atomic<bool> stop;
    std::thread thread;
};

// Lines of a screen: a title in a band near the top, the others under it.
void DrawLines(const Font& font, const std::string& title, const std::vector<std::string>& lines)
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    Begin2D();
    glColor4fv(kBandColour);
    DrawBox(60, 448, 740, 472, 4, false);
    DrawText(font, title, 400 - TextWidth(font, title, 16) / 2, 452, 16, kTitleColour);
    int y = 410;
    for (const std::string& line : lines)
    {
        if (!line.empty())
        {
            DrawText(font, line, 400 - TextWidth(font, line, 12) / 2, y, 12, kLineColour);
        }
        y -= 22;
    }
}

// Splits a reason into lines of at most width characters, at spaces.
std::vector<std::string> Wrap(const std::string& text, size_t width)
{
    std::vector<std::string> lines;
    std::string line;
    size_t start = 0;
    while (start < text.size())
    {
        size_t end = text.find(' ', start);
        if (end == std::string::npos)
        {
            end = text.size();
        }
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && line.size() + 1 + word.size() > width)
        {
            lines.push_back(line);
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        start = end + 1;
    }
    if (!line.empty())
    {
        lines.push_back(line);
    }
    return lines;
}

std::vector<uint8_t> EncodeSettings(const GameSetup& setup)
{
    ByteWriter out;
    out.ShortString(setup.mapName);
    out.U8(uint8_t(setup.numPlayers));
    return out.Take();
}

class NetGame
{
  public:
    NetGame(const NetChoice& choice, const GameSetup& setup, bool fromMenu);
    ~NetGame();
    int Run();
    bool Begun() const { return game != nullptr; }
    bool Closed() const { return closed; }
    const std::string& Reason() const { return reason; }

  private:
    enum class TurnEnd
    {
        Sent, // the turn went to the others
        Left, // Escape: this machine leaves, the relay keeps its seats
    };

    int Play();
    bool Connect(std::string& error);
    void BeginAsHost();
    bool Load(const Message& turn); // false: the game cannot go on (Failed has said why)
    void ApplySeatControl(Player& player);
    ComputerTurnView ViewHere() const;
    TurnEnd PlayOwnTurn();
    void TakeNotices();
    void DrawWaiting();
    bool ReadWaitingInput(); // false: the player leaves
    int Finish();
    void LeaveAfterLastTurn(); // once the game is over
    int Leave();
    int LeaveOnClose();
    int Failed(const std::string& reason);

    NetChoice choice;
    GameSetup setup;
    bool host;
    bool fromMenu;
    bool closed;        // the window was closed: the program ends
    std::string reason; // why the game could not go on
    NetSession session;
    RelayProcess relay;
    Font font;
    Game* game;
    Uint32 turnStarted;
    std::deque<std::string> notices;
    std::vector<bool> voted;
};

NetGame::NetGame(const NetChoice& choice_, const GameSetup& setup_, bool fromMenu_)
    : choice(choice_), setup(setup_), host(choice_.role == NetChoice::Role::Host), fromMenu(fromMenu_),
      closed(false), game(nullptr), turnStarted(SDL_GetTicks())
{
    if (choice.name.empty())
    {
        choice.name = DefaultPlayerName();
    }
    if (host && choice.code.empty())
    {
        choice.code = MakeGameCode();
    }
    LoadFont(font);
}

NetGame::~NetGame()
{
    delete game;
}

bool NetGame::Connect(std::string& error)
{
    if (!host)
    {
        std::fprintf(stderr, "korvane: joining the game %s on %s as %s\n", choice.code.c_str(),
                     RelayText(choice.address, choice.port).c_str(), choice.name.c_str());
        // Connecting may take a few seconds when nothing answers.
        DrawLines(font, "Joining a network game",
                  {"Connecting to " + RelayText(choice.address, choice.port)});
        SwapFrame();
        return session.Join(choice.address, choice.port, choice.code, choice.name, error);
    }
    const std::string server = RelayProcess::FindServer();
    if (server.empty())
    {
        error = "korvane-server is neither beside the game nor on PATH";
        return false;
    }
    choice.address = choice.bind.empty() ? "127.0.0.1" : choice.bind;
    if (!relay.Start(server, choice.port, choice.code, error, choice.bind))
    {
        // The relay this host started before may still hold its game (the
        // host left, or its program stopped): open the game there, which the
        // relay takes as the host coming back into its seats.
        const std::string cannotStart = error;
        if (!session.Host(choice.address, choice.port, choice.code, choice.name, HostSeatPlan(setup),
                          EncodeSettings(setup), error))
        {
            error = cannotStart;
            return false;
        }
        std::fprintf(stderr, "korvane: %s; opening the game %s on the relay there\n", cannotStart.c_str(),
                     choice.code.c_str());
        return true;
    }
    std::fprintf(stderr, "korvane: hosting the game %s on port %u (relay process %d)\n", choice.code.c_str(),
                 unsigned(choice.port), int(relay.Pid()));
    if (!session.Host(choice.address, choice.port, choice.code, choice.name, HostSeatPlan(setup),
                      EncodeSettings(setup), error))
    {
        relay.Stop();
        return false;
    }
    return true;
}

void NetGame::BeginAsHost()
{
    DrawLines(font, "Loading level", {});
    SwapFrame();
    game = new Game(setup.numPlayers, setup.mapName);
    SeatPlayers(*game, setup.seats, UnpredictableSeed());
    gAnimationTime = 0.0f;
    const Snapshot snapshot = CaptureSnapshot(*game);
    uint64_t hash = 0;
    const std::vector<uint8_t> encoded = EncodeSnapshot(snapshot, hash);
    session.Begin(uint8_t(game->currentPlayerPos), hash, encoded);
    turnStarted = SDL_GetTicks();
    std::fprintf(stderr, "korvane: every seat is taken; the game begins\n");
}

bool NetGame::Load(const Message& turn)
{
    const std::string which = "the game after turn " + std::to_string(turn.turn);
    Snapshot snapshot;
    std::string error;
    if (!DecodeSnapshot(turn.snapshot, snapshot, error))
    {
        session.ReportMismatch(turn, 0);
        Failed(which + " cannot be read: " + error);
        return false;
    }
    // The game held so far lends its models and light textures: the same files.
    uint64_t found = 0;
    Game* loaded = RestoreCheckedGame(snapshot, turn.hash, game, error, found);
    if (loaded == nullptr)
    {
        session.ReportMismatch(turn, found);
        Failed(error.empty() ? session.FailReason() : which + " cannot be built here: " + error);
        return false;
    }
    delete game;
    game = loaded;
    turnStarted = SDL_GetTicks();
    voted.assign(session.Seats().size(), false);
    return true;
}

void NetGame::ApplySeatControl(Player& player)
{
    const std::vector<SeatEntry>& seats = session.Seats();
    const size_t seat = size_t(player.GetIndex());
    if (seat >= seats.size())
    {
        return;
    }
    if (seats[seat].control == SeatControl::Computer && player.computer == nullptr)
    {
        // A seat taken over while its player is away.
        player.seat = SeatKind::ComputerHard;
        player.computer = MakeComputerPlayer(player.seat, *game, player, UnpredictableSeed());
    }
    else if (seats[seat].control == SeatControl::Person && player.computer != nullptr)
    {
        // Its player is back.
        player.seat = SeatKind::Human;
        player.computer.reset();
    }
}

ComputerTurnView NetGame::ViewHere() const
{
    // The people at this screen are this machine's own persons' seats; a
    // remote player's fleet is never shown here.
    std::vector<SeatKind> seats;
    std::vector<int> fleetSizes;
    for (const Player* player : game->GetPlayers())
    {
        const int seat = player->GetIndex();
        const bool here = session.OwnsSeat(seat) && size_t(seat) < session.Seats().size() &&
                          session.Seats()[size_t(seat)].control == SeatControl::Person;
        seats.push_back(here ? SeatKind::Human : SeatKind::ComputerHard);
        fleetSizes.push_back(player->FleetSize());
    }
    return ChooseComputerTurnView(seats, fleetSizes, game->GetCurrentPlayer()->GetIndex());
}

NetGame::TurnEnd NetGame::PlayOwnTurn()
{
    Player& player = *game->GetCurrentPlayer();
    ApplySeatControl(player);
    const ComputerTurnView view = ViewHere();
    {
        SessionKeeper keeper(session);
        if (player.computer != nullptr)
        {
            PlayComputerTurn(*game, view);
        }
        else
        {
            HandOverScreen(*game);
            PlayTurn(*game);
        }
    }
    if (game->GetState() == 2 && !GameOverReached(*game))
    {
        return TurnEnd::Left;
    }
    game->NextPlayer();
    const bool over = game->GetState() == 2;
    const int winner = over ? game->WinnerIndex() : -1;
    const Snapshot snapshot = CaptureSnapshot(*game);
    uint64_t hash = 0;
    const std::vector<uint8_t> encoded = EncodeSnapshot(snapshot, hash);
    session.EndTurn(uint8_t(game->currentPlayerPos), over, winner >= 0 ? uint8_t(winner) : kNoSeat, hash,
                    encoded, {});
    turnStarted = SDL_GetTicks();
    voted.assign(session.Seats().size(), false);
    return TurnEnd::Sent;
}

void NetGame::TakeNotices()
{
    std::string notice;
    while (session.TakeNotice(notice))
    {
        std::fprintf(stderr, "korvane: %s\n", notice.c_str());
        notices.push_back(notice);
        if (notices.size() > kNoticesShown)
        {
            notices.pop_front();
        }
    }
}

void NetGame::DrawWaiting()
{
    const bool begun = game != nullptr && session.HasTurn();
    if (!begun)
    {
        DrawLines(
            font, host ? "Hosting a network game" : "Joining a network game",
            LobbyLines(choice.code, choice.address, choice.port, session.Seats(), session.MyMachine(), host));
        return;
    }
    WaitingView view;
    view.seatToPlay = session.LatestTurn().seatToPlay;
    view.seconds = (SDL_GetTicks() - turnStarted) / 1000;
    view.seats = session.Seats();
    view.voted = voted;
    view.notices.assign(notices.begin(), notices.end());
    DrawLines(font, "Waiting for the other players", WaitingLines(view));
}

bool NetGame::ReadWaitingInput()
{
    for (const SDL_Event& event : EventBatch())
    {
        if (event.type != SDL_KEYDOWN)
        {
            continue;
        }
        const SDLKey key = event.key.keysym.sym;
        if (key == SDLK_ESCAPE)
        {
            return false;
        }
        if (key == kMuteKey)
        {
            ToggleSoundMute();
        }
        else if (key == SDLKey(kTakeOverKey) && Begun())
        {
            const std::vector<SeatEntry>& seats = session.Seats();
            voted.resize(seats.size(), false);
            for (size_t s = 0; s < seats.size(); s++)
            {
                const bool away =
                    seats[s].presence == SeatPresence::Away || seats[s].presence == SeatPresence::TimedOut;
                if (away && seats[s].control == SeatControl::Person && !voted[s])
                {
                    session.VoteTakeOver(int(s));
                    voted[s] = true;
                    std::fprintf(stderr, "korvane: agreed that the computer plays seat %zu\n", s + 1);
                }
            }
        }
    }
    return true;
}

int NetGame::Run()
{
    // Closing the window, on any screen of the game, leaves as Escape does:
    // the others are told at once instead of after the relay's time-out.
    WindowCloseCatch catchClose;
    try
    {
        return Play();
    }
    catch (const WindowClosed&)
    {
        return LeaveOnClose();
    }
}

int NetGame::Play()
{
    std::string error;
    if (!Connect(error))
    {
        return Failed(error);
    }
    for (;;)
    {
        session.Poll(kPollMs);
        TakeNotices();
        if (host && game == nullptr && session.GetPhase() == NetSession::Phase::Lobby &&
            !session.GameStarted() && session.AllSeatsTaken())
        {
            BeginAsHost();
        }
        Message turn;
        while (session.TakeNewTurn(turn))
        {
            if (!Load(turn))
            {
                return 1;
            }
            if (turn.gameOver)
            {
                return Finish();
            }
        }
        if (session.GetPhase() == NetSession::Phase::Failed)
        {
            return Failed(session.FailReason());
        }
        if (session.MustPlay())
        {
            if (PlayOwnTurn() == TurnEnd::Left)
            {
                return Leave();
            }
            if (session.GetPhase() == NetSession::Phase::Over)
            {
                return Finish();
            }
            continue;
        }
        DrawWaiting();
        SwapFrame();
        if (!ReadWaitingInput())
        {
            return Leave();
        }
    }
}

int NetGame::Finish()
{
    {
        SessionKeeper keeper(session);
        EndScreen(*game);
    }
    LeaveAfterLastTurn();
    std::fprintf(stderr, "korvane: the network game is over\n");
    return 0;
}

void NetGame::LeaveAfterLastTurn()
{
    // The last turn may be this machine's: leave only once the relay has it.
    session.Leave(60000);
}

int NetGame::Leave()
{
    session.Leave();
    if (!Begun())
    {
        // A hosted game that has not begun has no use for its relay.
        relay.Stop();
        std::fprintf(stderr, "korvane: left the network game %s before it began\n", choice.code.c_str());
        return 0;
    }
    std::fprintf(stderr,
                 "korvane: left the network game %s; join it again with the same code and name to "
                 "take your seat back\n",
                 choice.code.c_str());
    return 0;
}

int NetGame::LeaveOnClose()
{
    closed = true;
    std::fprintf(stderr, "korvane: the window was closed\n");
    if (game != nullptr)
    {
        StopTickTimer(*game); // the turn being played, if any, is not sent
    }
    if (!reason.empty())
    {
        return 1; // closed on the screen that says why the game ended
    }
    if (session.GetPhase() == NetSession::Phase::Over)
    {
        LeaveAfterLastTurn();
        return 0;
    }
    return Leave();
}

int NetGame::Failed(const std::string& why)
{
    reason = why;
    std::fprintf(stderr, "korvane: the network game ended: %s\n", reason.c_str());
    if (!Begun())
    {
        relay.Stop();
    }
    if (fromMenu && !Begun())
    {
        return 1; // the menu shows the reason
    }
    std::vector<std::string> lines = Wrap(reason, 80);
    lines.push_back("");
    lines.push_back("Press any key");
    const Uint32 shown = SDL_GetTicks();
    bool pressed = false;
    while (!pressed && SDL_GetTicks() - shown < kFailureScreenMs)
    {
        DrawLines(font, "The network game has ended", lines);
        SwapFrame();
        for (const SDL_Event& event : EventBatch())
        {
            pressed = pressed || event.type == SDL_KEYDOWN || event.type == SDL_MOUSEBUTTONDOWN;
        }
        SDL_Delay(50);
    }
    return 1;
}

} // namespace

std::vector<SeatPlan> HostSeatPlan(const GameSetup& setup)
{
    std::vector<SeatPlan> plan;
    for (int i = 0; i < setup.numPlayers && i < 4; i++)
    {
        plan.push_back(setup.remote[i]                  ? SeatPlan::Open
                       : IsComputerSeat(setup.seats[i]) ? SeatPlan::HostComputer
                                                        : SeatPlan::HostHuman);
    }
    return plan;
}

NetGameEnd RunNetworkGame(const NetChoice& choice, const GameSetup& setup, bool fromMenu)
{
    NetGame net(choice, setup, fromMenu);
    NetGameEnd end;
    end.status = net.Run();
    end.begun = net.Begun();
    end.reason = net.Reason();
    end.closed = net.Closed();
    return end;
}
