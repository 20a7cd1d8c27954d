#include "net/RelayGame.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

namespace
{

std::string HashText(uint64_t hash)
{
    char text[20];
    std::snprintf(text, sizeof text, "%016" PRIx64, hash);
    return text;
}

} // namespace

RelayGame::RelayGame(const std::string& fixedCode, std::function<void(const std::string&)> log)
    : fixedCode(fixedCode), log(std::move(log))
{
}

void RelayGame::Connected(uint32_t connection, const std::string& address, double now)
{
    // An id still in use means its connection ended unseen: end it first.
    if (connections.count(connection) != 0)
        Disconnected(connection, true);
    Connection c;
    c.address = address;
    c.connectedAt = now;
    c.lastRefill = now;
    connections[connection] = c;
}

bool RelayGame::WithinBounds(Connection& c, size_t size, double now)
{
    const double elapsed = std::max(0.0, now - c.lastRefill);
    c.lastRefill = now;
    c.messageTokens = std::min(kMessageBurst, c.messageTokens + elapsed * kMessagesPerSecond);
    c.byteTokens = std::min(kByteBurst, c.byteTokens + elapsed * kBytesPerSecond);
    c.messageTokens -= 1.0;
    c.byteTokens -= double(size);
    return c.messageTokens >= 0.0 && c.byteTokens >= 0.0;
}

void RelayGame::Received(uint32_t connection, const uint8_t* data, size_t size, double now)
{
    auto found = connections.find(connection);
    if (found == connections.end())
        return;
    Connection& c = found->second;
    if (!WithinBounds(c, size, now))
    {
        Drop(connection, "sends more than its bound");
        return;
    }
    Message m;
    std::string error;
    if (!DecodeMessage(data, size, m, error))
    {
        Drop(connection, error);
        return;
    }
    if (c.machine == 0)
    {
        if (m.type != MessageType::Join)
            Drop(connection, std::string("sent a ") + MessageTypeName(m.type) + " message before joining");
        else
            HandleJoin(connection, c, m);
        return;
    }
    switch (m.type)
    {
    case MessageType::Turn:
        HandleTurn(c.machine, m);
        break;
    case MessageType::Mismatch:
        HandleMismatch(c.machine, m);
        break;
    case MessageType::Vote:
        HandleVote(c.machine, m);
        break;
    default:
        Drop(connection,
             std::string("sent a ") + MessageTypeName(m.type) + " message the relay does not take");
        break;
    }
}

void RelayGame::HandleJoin(uint32_t connection, Connection& c, const Message& m)
{
    if (m.version != kProtocolVersion)
    {
        Refuse(connection, RefusalReason::BadVersion,
               "version " + std::to_string(m.version) + ", relay " + std::to_string(kProtocolVersion));
        return;
    }
    if (!IsValidCode(m.code) || !IsValidName(m.name))
    {
        Refuse(connection, RefusalReason::Malformed,
               "a code of 6 to 16 capitals and digits and a name are needed");
        return;
    }
    if (seats.empty())
    {
        if (!m.host)
            Refuse(connection, RefusalReason::NoGame, "");
        else if (!fixedCode.empty() && m.code != fixedCode)
            Refuse(connection, RefusalReason::WrongCode, "");
        else
            OpenGame(connection, c, m);
        return;
    }
    if (m.code != code)
    {
        Refuse(connection, m.host ? RefusalReason::RelayBusy : RefusalReason::WrongCode, "");
        return;
    }
    if (Rejoin(connection, c, m.name))
        return;
    for (const auto& entry : machines)
        if (entry.second.name == m.name)
        {
            Refuse(connection, RefusalReason::NameInUse, "");
            return;
        }
    const auto open = std::find_if(seats.begin(), seats.end(),
                                   [](const SeatEntry& s) { return s.presence == SeatPresence::Open; });
    if (open == seats.end())
    {
        Refuse(connection, RefusalReason::GameFull, "");
        return;
    }
    const uint8_t id = nextMachine++;
    machines[id] = Machine{m.name, connection, SeatPresence::Present};
    c.machine = id;
    open->machine = id;
    open->presence = SeatPresence::Present;
    open->name = m.name;
    const int seat = int(open - seats.begin());
    origins[seat].machine = id;
    Log("join: seat " + std::to_string(seat + 1) + " \"" + m.name + "\" " + Describe(connection));
    SeatEventToAll(seat, SeatEventKind::Joined);
    SendSeatTables();
}

void RelayGame::OpenGame(uint32_t connection, Connection& c, const Message& m)
{
    code = m.code;
    settings = m.settings;
    const uint8_t id = nextMachine++;
    machines[id] = Machine{m.name, connection, SeatPresence::Present};
    c.machine = id;
    for (SeatPlan plan : m.plan)
    {
        SeatEntry seat;
        if (plan != SeatPlan::Open)
        {
            seat.machine = id;
            seat.presence = SeatPresence::Present;
            seat.control = plan == SeatPlan::HostComputer ? SeatControl::Computer : SeatControl::Person;
            seat.name = seat.control == SeatControl::Person ? m.name : "";
        }
        seats.push_back(seat);
        origins.push_back(SeatOrigin{seat.machine, seat.control});
    }
    Log("join: host \"" + m.name + "\" opens a game of " + std::to_string(seats.size()) + " seats " +
        Describe(connection));
    SendSeatTables();
}

bool RelayGame::Rejoin(uint32_t connection, Connection& c, const std::string& name)
{
    if (!started)
        return false;
    for (auto& entry : machines)
    {
        Machine& machine = entry.second;
        if (machine.name != name)
            continue;
        if (machine.connection != 0 && machine.connection != connection)
        {
            // The same player on a new connection: the old one is stale (a
            // program restarted before the relay noticed it had gone).
            const uint32_t old = machine.connection;
            connections[old].machine = 0;
            Drop(old, "replaced by a new connection of \"" + name + "\"");
        }
        machine.connection = connection;
        machine.presence = SeatPresence::Present;
        c.machine = entry.first;
        for (size_t s = 0; s < seats.size(); s++)
            if (seats[s].machine == entry.first)
            {
                seats[s].presence = SeatPresence::Present;
                Log("rejoin: seat " + std::to_string(s + 1) + " \"" + name + "\" " + Describe(connection));
                SeatEventToAll(int(s), SeatEventKind::Rejoined);
            }
        ReturnSeats();
        SendSeatTables();
        SendLastTurn(entry.first);
        return true;
    }
    return false;
}

void RelayGame::HandleTurn(uint8_t machine, const Message& m)
{
    if (m.seatToPlay >= seats.size() || (m.gameOver && m.winner != kNoSeat && m.winner >= seats.size()))
    {
        Log("turn " + std::to_string(m.turn) + " from machine " + std::to_string(machine) +
            " names a seat the game does not have: dropped");
        return;
    }
    if (!started)
    {
        // The host's first snapshot begins the game once every seat is taken.
        const bool full = std::none_of(seats.begin(), seats.end(),
                                       [](const SeatEntry& s) { return s.presence == SeatPresence::Open; });
        if (machine != 1 || m.turn != 0 || !full)
        {
            Log("turn " + std::to_string(m.turn) + " from machine " + std::to_string(machine) +
                " before the game began: dropped");
            return;
        }
        started = true;
        lastTurn = m;
        Log("turn 0: the game begins, seat " + std::to_string(m.seatToPlay + 1) + " first (hash " +
            HashText(m.hash) + ", " + std::to_string(m.snapshot.size()) + " bytes)");
        SendSeatTables();
        SendToMachines(m, machine);
        return;
    }
    if (over || seats[lastTurn.seatToPlay].machine != machine || m.turn != lastTurn.turn + 1)
    {
        Log("turn " + std::to_string(m.turn) + " from machine " + std::to_string(machine) +
            " out of turn: dropped");
        return;
    }
    const int ended = lastTurn.seatToPlay;
    lastTurn = m;
    over = m.gameOver;
    if (over)
        Log("turn " + std::to_string(m.turn) + ": seat " + std::to_string(ended + 1) +
            " ended; game over, winner " +
            (m.winner == kNoSeat ? std::string("none") : "seat " + std::to_string(m.winner + 1)) + " (hash " +
            HashText(m.hash) + ")");
    else
        Log("turn " + std::to_string(m.turn) + ": seat " + std::to_string(ended + 1) + " ended, seat " +
            std::to_string(m.seatToPlay + 1) + " next (hash " + HashText(m.hash) + ", " +
            std::to_string(m.snapshot.size()) + " bytes)");
    SendToMachines(m, machine);
    ReturnSeats();
    if (!over && seats[m.seatToPlay].presence != SeatPresence::Present)
        Log("seat " + std::to_string(m.seatToPlay + 1) + " is to play but its player is away");
}

void RelayGame::HandleMismatch(uint8_t machine, const Message& m)
{
    Log("mismatch: turn " + std::to_string(m.turn) + ", machine " + std::to_string(machine) + " \"" +
        machines[machine].name + "\" computed " + HashText(m.computed) + ", sent " + HashText(m.hash));
    Message forwarded = m;
    SendToMachines(forwarded, machine);
}

void RelayGame::HandleVote(uint8_t machine, const Message& m)
{
    if (!started || over || m.seat >= seats.size())
        return;
    const SeatEntry& seat = seats[m.seat];
    if (seat.presence == SeatPresence::Present || seat.presence == SeatPresence::Open)
        return;
    votes[m.seat].insert(machine);
    Log("vote: machine " + std::to_string(machine) + " lets the computer take seat " +
        std::to_string(m.seat + 1));
    CountVotes(m.seat);
}

void RelayGame::CountVotes(int seat)
{
    std::set<uint8_t>& agreed = votes[seat];
    uint8_t player = 0; // the present machine that will play the seat: the lowest id
    for (const auto& entry : machines)
    {
        if (entry.second.presence != SeatPresence::Present)
            continue;
        if (agreed.count(entry.first) == 0)
            return;
        if (player == 0)
            player = entry.first;
    }
    if (player == 0)
        return;
    votes.erase(seat);
    SeatEntry& s = seats[seat];
    s.machine = player;
    s.control = SeatControl::Computer;
    s.presence = SeatPresence::Present;
    Log("take over: seat " + std::to_string(seat + 1) + " played by the computer on machine " +
        std::to_string(player));
    SeatEventToAll(seat, SeatEventKind::TakenOver);
    SendSeatTables();
    if (lastTurn.seatToPlay == seat && !over)
        SendLastTurn(player);
}

void RelayGame::ReturnSeats()
{
    bool changed = false;
    for (size_t s = 0; s < seats.size(); s++)
    {
        const SeatOrigin& origin = origins[s];
        if (seats[s].machine == origin.machine || machines[origin.machine].presence != SeatPresence::Present)
            continue;
        if (started && !over && int(s) == lastTurn.seatToPlay)
            continue;
        seats[s].machine = origin.machine;
        seats[s].control = origin.control;
        seats[s].presence = SeatPresence::Present;
        Log("return: seat " + std::to_string(s + 1) + " back to \"" + machines[origin.machine].name + "\"");
        SeatEventToAll(int(s), SeatEventKind::Rejoined);
        changed = true;
    }
    if (changed)
        SendSeatTables();
}

void RelayGame::Disconnected(uint32_t connection, bool timedOut)
{
    auto found = connections.find(connection);
    if (found == connections.end())
        return;
    const uint8_t machine = found->second.machine;
    const std::string who = Describe(connection);
    connections.erase(found);
    if (machine == 0)
        return;
    Log(std::string(timedOut ? "timeout: " : "leave: ") + "machine " + std::to_string(machine) + " \"" +
        machines[machine].name + "\" " + who);
    MachineGone(machine, timedOut);
}

void RelayGame::MachineGone(uint8_t machine, bool timedOut)
{
    if (!started)
    {
        if (machine == 1)
        {
            for (const auto& entry : machines)
                if (entry.first != 1 && entry.second.connection != 0)
                    Refuse(entry.second.connection, RefusalReason::HostLeft, "");
            Log("the host left before the game began: game closed");
            Reset();
            return;
        }
        for (size_t s = 0; s < seats.size(); s++)
            if (seats[s].machine == machine)
            {
                SeatEventToAll(int(s), SeatEventKind::Left);
                seats[s] = SeatEntry();
                origins[s].machine = 0;
            }
        machines.erase(machine);
        SendSeatTables();
        return;
    }
    Machine& m = machines[machine];
    m.connection = 0;
    m.presence = timedOut ? SeatPresence::TimedOut : SeatPresence::Away;
    for (auto& entry : votes)
        entry.second.erase(machine);
    for (size_t s = 0; s < seats.size(); s++)
        if (seats[s].machine == machine)
        {
            seats[s].presence = m.presence;
            SeatEventToAll(int(s), timedOut ? SeatEventKind::TimedOut : SeatEventKind::Left);
        }
    SendSeatTables();
    for (size_t s = 0; s < seats.size(); s++)
        if (votes.count(int(s)) != 0)
            CountVotes(int(s));
    const bool anyone =
        std::any_of(machines.begin(), machines.end(),
                    [](const auto& entry) { return entry.second.presence == SeatPresence::Present; });
    if (over && !anyone)
    {
        Log("every player has left the finished game: ready for a new one");
        Reset();
    }
}

void RelayGame::Tick(double now)
{
    std::vector<uint32_t> late;
    for (const auto& entry : connections)
        if (entry.second.machine == 0 && now - entry.second.connectedAt > kJoinWindowSeconds)
            late.push_back(entry.first);
    for (uint32_t connection : late)
        Drop(connection, "did not join in time");
}

std::vector<RelayGame::Action> RelayGame::TakeActions()
{
    std::vector<Action> taken;
    taken.swap(actions);
    return taken;
}

void RelayGame::Refuse(uint32_t connection, RefusalReason reason, const std::string& detail)
{
    Message m;
    m.type = MessageType::Refused;
    m.reason = reason;
    m.text = RefusalText(reason);
    if (!detail.empty())
        m.text += " (" + detail + ")";
    if (m.text.size() > kMaxReasonLength)
        m.text.resize(kMaxReasonLength);
    Log("refused: " + Describe(connection) + ": " + m.text);
    actions.push_back(Action{connection, EncodeMessage(m), true});
    auto found = connections.find(connection);
    if (found != connections.end() && found->second.machine == 0)
        connections.erase(found);
}

void RelayGame::Drop(uint32_t connection, const std::string& why)
{
    Log("drop: " + Describe(connection) + ": " + why);
    actions.push_back(Action{connection, {}, true});
    auto found = connections.find(connection);
    if (found == connections.end())
        return;
    const uint8_t machine = found->second.machine;
    connections.erase(found);
    if (machine != 0 && machines.count(machine) != 0 && machines[machine].connection == connection)
        MachineGone(machine, false);
}

void RelayGame::Send(uint32_t connection, const Message& m)
{
    actions.push_back(Action{connection, EncodeMessage(m), false});
}

void RelayGame::SendToMachines(const Message& m, uint8_t except)
{
    const std::vector<uint8_t> bytes = EncodeMessage(m);
    for (const auto& entry : machines)
        if (entry.first != except && entry.second.connection != 0)
            actions.push_back(Action{entry.second.connection, bytes, false});
}

void RelayGame::SendSeatTables()
{
    Message m;
    m.type = MessageType::SeatTable;
    m.started = started;
    m.seats = seats;
    m.settings = settings;
    for (const auto& entry : machines)
        if (entry.second.connection != 0)
        {
            m.yourMachine = entry.first;
            Send(entry.second.connection, m);
        }
}

void RelayGame::SeatEventToAll(int seat, SeatEventKind kind)
{
    Message m;
    m.type = MessageType::SeatEvent;
    m.seat = uint8_t(seat);
    m.event = kind;
    m.name = seats[seat].name;
    SendToMachines(m, 0);
}

void RelayGame::SendLastTurn(uint8_t machine)
{
    if (!started || machines[machine].connection == 0)
        return;
    Send(machines[machine].connection, lastTurn);
}

bool RelayGame::AnyonePresent() const
{
    return std::any_of(machines.begin(), machines.end(),
                       [](const auto& entry) { return entry.second.presence == SeatPresence::Present; });
}

void RelayGame::Reset()
{
    gamesClosed++;
    for (auto& entry : connections)
        entry.second.machine = 0;
    code.clear();
    settings.clear();
    seats.clear();
    origins.clear();
    machines.clear();
    nextMachine = 1;
    started = false;
    over = false;
    lastTurn = Message();
    votes.clear();
}

std::string RelayGame::Describe(uint32_t connection) const
{
    auto found = connections.find(connection);
    const std::string address = found == connections.end() ? "" : " " + found->second.address;
    return "(connection " + std::to_string(connection) + address + ")";
}
