#include "AutoplayOptions.h"

#include <cerrno>
#include <cstdlib>

const char* const kAutoplayUsage =
    "usage: korvane-autoplay [--map NAME] [--players N] [--seed S] [--max-rounds R] [--seat N=PLAYER]... "
    "[--watch]\n"
    "                        [--save-at-round R FILE] [--resume FILE]\n"
    "  Plays a whole game with the computer in every seat. Run it from the\n"
    "  game's data directory, under a display or tests/with-xvfb.sh.\n"
    "  --map NAME       map under Models/Maps/ (default map1)\n"
    "  --players N      2 to 4 players (default 2)\n"
    "  --seed S         0 to 4294967295: the game's random numbers and the players' choices (default 1)\n"
    "  --max-rounds R   1 to 100000: stop without a winner after R rounds (default 50)\n"
    "  --seat N=PLAYER  who plays seat N (1 to the number of players): easy, hard, or one of\n"
    "                   the exploit bots ambush, hit-and-run, ghost-bait, turtle (default easy)\n"
    "  --watch          draw every tick on the display as the game does\n"
    "  --save-at-round R FILE  stop at the hand-over before round R (1 to 100000) and\n"
    "                   write the game's snapshot to FILE\n"
    "  --resume FILE    play on from a snapshot (its map, players and seats; --map, --players,\n"
    "                   --seed and --seat are not used)\n"
    "  --snapshots DIR  play on, writing the snapshot of every hand-over before a round\n"
    "                   R from 2 on to DIR/round-R.korvane\n";

const char* const kSeatPlayerNames[6] = {"easy", "hard", "ambush", "hit-and-run", "ghost-bait", "turtle"};

bool IsSeatPlayerName(const std::string& name)
{
    for (const char* known : kSeatPlayerNames)
    {
        if (name == known)
        {
            return true;
        }
    }
    return false;
}

namespace
{

// A whole decimal number from low to high.
bool ReadNumber(const char* text, long long low, long long high, long long& value)
{
    if (text == nullptr || *text == '\0' || *text == '-' || *text == '+')
    {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high)
    {
        return false;
    }
    value = parsed;
    return true;
}

} // namespace

bool ParseAutoplayOptions(int argc, const char* const argv[], AutoplayOptions& options, std::string& error)
{
    bool seatChosen[4] = {};
    for (int i = 1; i < argc; i++)
    {
        const std::string option = argv[i];
        if (option == "--watch")
        {
            options.watch = true;
            continue;
        }
        if (option == "--help" || option == "-h")
        {
            options.help = true;
            continue;
        }
        if (option == "--save-at-round")
        {
            long long number = 0;
            if (i + 2 >= argc)
            {
                error = "--save-at-round needs a round and a file";
                return false;
            }
            if (!ReadNumber(argv[i + 1], 1, 100000, number))
            {
                error = "--save-at-round takes a round from 1 to 100000, not " + std::string(argv[i + 1]);
                return false;
            }
            options.saveAtRound = int(number);
            options.saveFile = argv[i + 2];
            if (options.saveFile.empty())
            {
                error = "--save-at-round needs a file name";
                return false;
            }
            i += 2;
            continue;
        }
        if (option != "--map" && option != "--players" && option != "--seed" && option != "--max-rounds" &&
            option != "--resume" && option != "--snapshots" && option != "--seat")
        {
            error = "unknown option " + option;
            return false;
        }
        if (i + 1 >= argc)
        {
            error = option + " needs a value";
            return false;
        }
        const char* value = argv[++i];
        long long number = 0;
        if (option == "--snapshots")
        {
            options.snapshotFolder = value;
            if (options.snapshotFolder.empty())
            {
                error = "--snapshots needs a folder";
                return false;
            }
        }
        else if (option == "--resume")
        {
            options.resumeFile = value;
            if (options.resumeFile.empty())
            {
                error = "--resume needs a file name";
                return false;
            }
        }
        else if (option == "--map")
        {
            options.map = value;
            if (options.map.empty() || options.map.find_first_of("/\\") != std::string::npos)
            {
                error = "--map takes a map name such as map1, not a path";
                return false;
            }
        }
        else if (option == "--seat")
        {
            const std::string text = value;
            const size_t equals = text.find('=');
            if (equals == std::string::npos || !ReadNumber(text.substr(0, equals).c_str(), 1, 4, number) ||
                !IsSeatPlayerName(text.substr(equals + 1)))
            {
                error = "--seat takes N=PLAYER, N from 1 to 4 and PLAYER easy, hard, ambush, hit-and-run, "
                        "ghost-bait or turtle, not " +
                        text;
                return false;
            }
            options.seats[size_t(number - 1)] = text.substr(equals + 1);
            seatChosen[number - 1] = true;
        }
        else if (option == "--players")
        {
            if (!ReadNumber(value, 2, 4, number))
            {
                error = "--players takes 2, 3 or 4, not " + std::string(value);
                return false;
            }
            options.players = int(number);
        }
        else if (option == "--seed")
        {
            if (!ReadNumber(value, 0, 4294967295LL, number))
            {
                error = "--seed takes a whole number from 0 to 4294967295, not " + std::string(value);
                return false;
            }
            options.seed = uint32_t(number);
        }
        else
        {
            if (!ReadNumber(value, 1, 100000, number))
            {
                error = "--max-rounds takes a whole number from 1 to 100000, not " + std::string(value);
                return false;
            }
            options.maxRounds = int(number);
        }
    }
    for (int seat = options.players; seat < 4; seat++)
    {
        if (seatChosen[seat])
        {
            error = "--seat " + std::to_string(seat + 1) + " names a seat beyond the " +
                    std::to_string(options.players) + " players";
            return false;
        }
    }
    // A saved game keeps only the game's own computer levels; a resumed one
    // brings its seats with it.
    bool anySeatChosen = false;
    for (int seat = 0; seat < 4; seat++)
    {
        anySeatChosen = anySeatChosen || seatChosen[seat];
        const bool level = options.seats[size_t(seat)] == "easy" || options.seats[size_t(seat)] == "hard";
        if (!level && (options.saveAtRound != 0 || !options.snapshotFolder.empty()))
        {
            error = "a game with " + options.seats[size_t(seat)] +
                    " in a seat cannot be saved: --save-at-round and --snapshots take easy and hard seats";
            return false;
        }
    }
    if (anySeatChosen && !options.resumeFile.empty())
    {
        error = "--resume plays the seats of the saved game: --seat cannot be given with it";
        return false;
    }
    return true;
}
