#ifndef KORVANE_APP_COMMANDLINE_H
#define KORVANE_APP_COMMANDLINE_H

#include <string>
#include <vector>

#include "app/NetChoice.h"

// The game's command line: what the player asked for, read from the program's
// arguments without touching the display. An option is a row of the table in
// CommandLine.cpp (its names, the name of its value if it takes one, a line of
// help, and the field it sets), so a new option is one field here and one row
// there; --help lists every row.

struct CommandLine
{
    // What main does with it.
    enum class Action
    {
        Play,          // start the game
        ShowHelp,      // print HelpText() to standard output, exit 0
        ShowVersion,   // print VersionText() to standard output, exit 0
        ShowUsageError // print `error` and UsageText() to standard error, exit 2
    };

    Action action = Action::Play;
    std::string error; // why the arguments were refused (ShowUsageError)

    // --window: play in an 800x600 window instead of full screen.
    bool window = false;

    // --host [--port P] [--code CODE], --join ADDRESS[:PORT] --code CODE,
    // --name NAME: one seat of a network game instead of the game at one screen.
    NetChoice net;
    bool portGiven = false; // --port was given
};

// One option of a table. `value` names the option's value in the help
// ("ADDRESS[:PORT]"), or is null for an option without one; `apply` records
// the option and its value in the command line.
struct CommandLineOption
{
    const char* name;      // "--window"
    const char* shortName; // "-h", or null
    const char* value;
    const char* help;
    void (*apply)(CommandLine& line, const std::string& value);
};

// Reads the game's arguments (without the program name) by its own table.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// Reads arguments by any table of options: an option's value follows it as
// "--name VALUE" or "--name=VALUE". An option that changes the action (to
// help or version) ends the reading, so that the first question asked is the
// one answered; a refused argument ends it too.
CommandLine ParseArguments(const std::vector<std::string>& arguments, const CommandLineOption* options,
                           size_t optionCount);

// "Usage: korvane [OPTION]..." and a line that points at --help.
std::string UsageText();

// The usage, every option with its help, the keys, and where the game finds
// its data.
std::string HelpText();

// "korvane " and the version, one line.
std::string VersionText();

// The exit status of each action: 0 for play, help and version, 2 for a
// refused command line.
int ExitStatus(CommandLine::Action action);

// Prints the answer to a command line that does not play: the help or the
// version to standard output, or the refusal ("korvane: " and the error) and
// the usage to standard error. Returns the exit status.
int AnswerCommandLine(const CommandLine& line);

#endif
