#include "app/CommandLine.h"

#include <cstdio>

#include "net/Message.h"
#include "net/RelayAddress.h"
#include "net/ServerOptions.h"

#ifndef KORVANE_VERSION
#define KORVANE_VERSION "unknown"
#endif

namespace
{

void Refuse(CommandLine& line, const std::string& why)
{
    line.action = CommandLine::Action::ShowUsageError;
    line.error = why;
}

void ChooseRole(CommandLine& line, NetChoice::Role role)
{
    if (line.net.role != NetChoice::Role::None && line.net.role != role)
    {
        Refuse(line, "--host and --join cannot go together");
        return;
    }
    line.net.role = role;
}

const CommandLineOption kOptions[] = {
    {"--window", nullptr, nullptr, "play in an 800x600 window instead of full screen",
     [](CommandLine& line, const std::string&) { line.window = true; }},
    {"--host", nullptr, nullptr, "host a network game: start a relay here, show its code",
     [](CommandLine& line, const std::string&) { ChooseRole(line, NetChoice::Role::Host); }},
    {"--port", nullptr, "P", "the relay's UDP port when hosting (default 24250)",
     [](CommandLine& line, const std::string& value)
     {
         long port = 0;
         if (!ParseBoundedNumber(value, 1, 65535, port))
         {
             Refuse(line, "--port takes a number from 1 to 65535, not '" + value + "'");
             return;
         }
         line.net.port = (unsigned short)port;
         line.portGiven = true;
     }},
    {"--bind", nullptr, "ADDRESS", "the hosting relay's address (default: every one)",
     [](CommandLine& line, const std::string& value)
     {
         std::string host, error;
         unsigned short port = 0;
         if (value.find(':') != std::string::npos || !ParseRelayAddress(value, host, port, error))
         {
             Refuse(line, "--bind takes an address of this machine, not '" + value + "'");
             return;
         }
         line.net.bind = host;
     }},
    {"--join", nullptr, "ADDRESS[:PORT]", "join the network game on the relay there",
     [](CommandLine& line, const std::string& value)
     {
         std::string error;
         if (!ParseRelayAddress(value, line.net.address, line.net.port, error))
         {
             Refuse(line, "--join: " + error);
             return;
         }
         ChooseRole(line, NetChoice::Role::Join);
     }},
    {"--code", nullptr, "CODE", "the game code (6 to 16 capital letters and digits)",
     [](CommandLine& line, const std::string& value)
     {
         if (!IsValidCode(value))
         {
             Refuse(line, "--code takes 6 to 16 capital letters and digits, not '" + value + "'");
             return;
         }
         line.net.code = value;
     }},
    {"--name", nullptr, "NAME", "your name in a network game (default: login name)",
     [](CommandLine& line, const std::string& value)
     {
         if (!IsValidName(value))
         {
             Refuse(line, "--name takes 1 to 20 plain characters");
             return;
         }
         line.net.name = value;
     }},
    {"--help", "-h", nullptr, "print this help and exit",
     [](CommandLine& line, const std::string&) { line.action = CommandLine::Action::ShowHelp; }},
    {"--version", nullptr, nullptr, "print the version and exit",
     [](CommandLine& line, const std::string&) { line.action = CommandLine::Action::ShowVersion; }},
};

const char* const kKeys = "Keys:\n"
                          "  left click     select a ship (Ctrl: add or remove it), press a panel button,\n"
                          "                 pick a target or place an order point\n"
                          "  m / r          place a move / rotate point (Ctrl raises or lowers it)\n"
                          "  t / a / x      target / attack / target with the selected turrets\n"
                          "  s / c / l      stop / turret arc cones / navigation lights\n"
                          "  n              next ship\n"
                          "  d              end the turn\n"
                          "  Tab (held)     sensor view\n"
                          "  v              mute or unmute the sound\n"
                          "  Alt+Enter      switch between window and full screen\n"
                          "  Escape         end the game (in a network game: leave it; your seat is kept)\n"
                          "  y              while waiting in a network game: let the computer play the\n"
                          "                 seat of a player who is away (once every machine agrees)\n"
                          "  pointer at an edge scrolls; right drag turns the camera (along the top or\n"
                          "  bottom edge it zooms); middle click resets the zoom; the wheel raises or\n"
                          "  lowers the camera\n";

const CommandLineOption* FindOption(const std::string& name, const CommandLineOption* options, size_t count)
{
    for (size_t i = 0; i < count; i++)
    {
        const CommandLineOption& option = options[i];
        if (name == option.name || (option.shortName != nullptr && name == option.shortName))
        {
            return &option;
        }
    }
    return nullptr;
}

CommandLine Refused(const std::string& why)
{
    CommandLine line;
    line.action = CommandLine::Action::ShowUsageError;
    line.error = why;
    return line;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line = ParseArguments(arguments, kOptions, sizeof(kOptions) / sizeof(kOptions[0]));
    if (line.action != CommandLine::Action::Play)
    {
        return line;
    }
    const NetChoice& net = line.net;
    if (net.role == NetChoice::Role::Join && net.code.empty())
    {
        return Refused("--join needs --code (the code the host shows)");
    }
    if (net.role == NetChoice::Role::Join && (line.portGiven || !net.bind.empty()))
    {
        return Refused("--port and --bind go with --host; give --join its port as ADDRESS:PORT");
    }
    // Without --host or --join, --port, --bind, --code and --name fill the
    // menu's network panel.
    return line;
}

CommandLine ParseArguments(const std::vector<std::string>& arguments, const CommandLineOption* options,
                           size_t optionCount)
{
    CommandLine line;
    for (size_t i = 0; i < arguments.size() && line.action == CommandLine::Action::Play; i++)
    {
        const std::string& argument = arguments[i];
        const size_t equals = argument.find('=');
        const bool joined = argument.compare(0, 2, "--") == 0 && equals != std::string::npos;
        const std::string name = joined ? argument.substr(0, equals) : argument;
        const CommandLineOption* option = FindOption(name, options, optionCount);
        if (option == nullptr)
        {
            const bool looksLikeOption = !argument.empty() && argument[0] == '-';
            return Refused(looksLikeOption ? "unknown option '" + name + "'"
                                           : "unexpected argument '" + argument + "'");
        }
        std::string value;
        if (option->value == nullptr && joined)
        {
            return Refused("option '" + name + "' takes no value");
        }
        if (option->value != nullptr)
        {
            if (joined)
            {
                value = argument.substr(equals + 1);
            }
            else if (i + 1 < arguments.size())
            {
                value = arguments[++i];
            }
            else
            {
                return Refused("option '" + name + "' needs a value (" + option->value + ")");
            }
        }
        option->apply(line, value);
    }
    return line;
}

std::string UsageText()
{
    return "Usage: korvane [OPTION]...\n"
           "Try 'korvane --help' for more information.\n";
}

std::string HelpText()
{
    std::string text = "Usage: korvane [OPTION]...\n"
                       "Korvane: turn-based space-fleet tactics for two to four players at one screen,\n"
                       "or each at their own machine through a relay (korvane-server).\n"
                       "It starts full screen; Alt+Enter switches between window and full screen.\n"
                       "\n"
                       "Options:\n";
    for (const CommandLineOption& option : kOptions)
    {
        std::string names = option.shortName != nullptr ? std::string(option.shortName) + ", " : "    ";
        names += option.name;
        if (option.value != nullptr)
        {
            names += std::string(" ") + option.value;
        }
        const size_t column = 24;
        text += "  " + names + std::string(names.size() < column ? column - names.size() : 1, ' ') +
                option.help + "\n";
    }
    text += "\n";
    text += kKeys;
    text += "\n"
            "Files:\n"
            "  The game reads its models, maps, textures and sounds from Models/,\n"
            "  Models/Maps/, Textures/ and Sounds/ in the directory it runs in. The korvane\n"
            "  command runs it in the installed data directory: share/games/korvane under\n"
            "  the installation prefix, /usr/share/games/korvane for the Debian package.\n"
            "  Games are saved at every hand-over in $XDG_DATA_HOME/korvane/saves\n"
            "  (~/.local/share/korvane/saves when XDG_DATA_HOME is not set); the menu's\n"
            "  Resume button continues the last one.\n"
            "\n"
            "Network games:\n"
            "  korvane --host                      choose the seats in the menu (Human,\n"
            "                                      Computer or Remote), click Begin, and\n"
            "                                      give the others the code shown\n"
            "  korvane --join ADDRESS --code CODE  take a Remote seat of that game\n"
            "  The relay listens on UDP port 24250 unless --port says otherwise.\n";
    return text;
}

std::string VersionText()
{
    return "korvane " KORVANE_VERSION "\n";
}

int ExitStatus(CommandLine::Action action)
{
    return action == CommandLine::Action::ShowUsageError ? 2 : 0;
}

int AnswerCommandLine(const CommandLine& line)
{
    switch (line.action)
    {
    case CommandLine::Action::ShowHelp:
        std::fputs(HelpText().c_str(), stdout);
        break;
    case CommandLine::Action::ShowVersion:
        std::fputs(VersionText().c_str(), stdout);
        break;
    case CommandLine::Action::ShowUsageError:
        std::fprintf(stderr, "korvane: %s\n%s", line.error.c_str(), UsageText().c_str());
        break;
    case CommandLine::Action::Play:
        break;
    }
    std::fflush(stdout);
    return ExitStatus(line.action);
}
