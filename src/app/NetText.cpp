#include "app/NetText.h"

namespace
{

std::string Two(unsigned n)
{
    return (n < 10 ? "0" : "") + std::to_string(n);
}

bool IsAway(const SeatEntry& entry)
{
    return entry.presence == SeatPresence::Away || entry.presence == SeatPresence::TimedOut;
}

} // namespace

std::string DurationText(unsigned seconds)
{
    const unsigned hours = seconds / 3600;
    const unsigned minutes = seconds / 60 % 60;
    if (hours > 0)
    {
        return std::to_string(hours) + ":" + Two(minutes) + ":" + Two(seconds % 60);
    }
    return std::to_string(minutes) + ":" + Two(seconds % 60);
}

std::string SeatText(int seat, const SeatEntry& entry, bool mine)
{
    std::string text = "Player " + std::to_string(seat + 1) + ": ";
    if (entry.control == SeatControl::Computer)
    {
        return text + "Computer";
    }
    if (entry.presence == SeatPresence::Open)
    {
        return text + "Remote (open)";
    }
    text += mine ? "Human (" + entry.name + ", you" : "Remote (" + entry.name;
    if (entry.presence == SeatPresence::Away)
    {
        text += ", away";
    }
    else if (entry.presence == SeatPresence::TimedOut)
    {
        text += ", timed out";
    }
    return text + ")";
}

std::string PlayerText(int seat, const SeatEntry& entry)
{
    const std::string who = entry.control == SeatControl::Computer ? "computer" : entry.name;
    return "Player " + std::to_string(seat + 1) + (who.empty() ? "" : " (" + who + ")");
}

std::vector<std::string> WaitingLines(const WaitingView& view)
{
    std::vector<std::string> lines;
    const bool known = view.seatToPlay >= 0 && size_t(view.seatToPlay) < view.seats.size();
    const std::string who = known ? PlayerText(view.seatToPlay, view.seats[size_t(view.seatToPlay)])
                                  : "Player " + std::to_string(view.seatToPlay + 1);
    const bool playerAway = known && IsAway(view.seats[size_t(view.seatToPlay)]) &&
                            view.seats[size_t(view.seatToPlay)].control == SeatControl::Person;
    lines.push_back(playerAway ? "It is the turn of " + who + ", who is away" : who + " is playing");
    lines.push_back("Their turn has lasted " + DurationText(view.seconds));
    lines.push_back("");
    for (size_t s = 0; s < view.seats.size(); s++)
    {
        const SeatEntry& entry = view.seats[s];
        if (entry.control == SeatControl::Computer || !IsAway(entry))
        {
            continue;
        }
        const bool agreed = s < view.voted.size() && view.voted[s];
        lines.push_back(PlayerText(int(s), entry) + " is away: " +
                        (agreed ? std::string("you agreed that the computer plays the seat")
                                : std::string("press ") + char(kTakeOverKey - 'a' + 'A') +
                                      " to let the computer play it"));
    }
    for (const std::string& notice : view.notices)
    {
        lines.push_back(notice);
    }
    lines.push_back("");
    lines.push_back("Escape leaves the game (your seat is kept)");
    return lines;
}

std::vector<std::string> LobbyLines(const std::string& code, const std::string& address, unsigned short port,
                                    const std::vector<SeatEntry>& seats, int myMachine, bool host)
{
    std::vector<std::string> lines;
    if (host)
    {
        lines.push_back("Game code: " + code);
        lines.push_back("The others join at this machine's address, port " + std::to_string(port) +
                        ", with the code");
    }
    else
    {
        lines.push_back("Joined the game " + code + " on " + address + ":" + std::to_string(port));
    }
    lines.push_back("");
    bool open = false;
    for (size_t s = 0; s < seats.size(); s++)
    {
        lines.push_back(SeatText(int(s), seats[s], myMachine != 0 && seats[s].machine == myMachine));
        open = open || seats[s].presence == SeatPresence::Open;
    }
    lines.push_back("");
    if (seats.empty())
    {
        lines.push_back("Connecting to the relay");
    }
    else if (open)
    {
        lines.push_back("Waiting for players to join");
    }
    else
    {
        lines.push_back(host ? "Every seat is taken: the game begins" : "Waiting for the host to begin");
    }
    lines.push_back("Escape leaves the game");
    return lines;
}
