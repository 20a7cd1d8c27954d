#include "app/CommandLine.h"

#include <cstdio>

#ifndef KORVANE_VERSION
#define KORVANE_VERSION "unknown"
#endif

namespace
{

const CommandLineOption kOptions[] = {
    {"--window", nullptr, nullptr, "play in an 800x600 window instead of full screen",
     [](CommandLine& line, const std::string&) { line.window = true; }},
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
                          "  Escape         end the game\n"
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
    return ParseArguments(arguments, kOptions, sizeof(kOptions) / sizeof(kOptions[0]));
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
                       "Korvane: turn-based space-fleet tactics for two to four players at one screen.\n"
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
            "  Resume button continues the last one.\n";
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
