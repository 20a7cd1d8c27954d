// The command line: what each list of arguments asks for, what is refused and
// why, and the texts that answer --help and --version.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace
{

using Action = CommandLine::Action;

TEST(CommandLine, EachListOfArgumentsAsksForOneThing)
{
    const struct
    {
        std::vector<std::string> arguments;
        Action action;
        bool window;
    } rows[] = {
        // (No argument, --help and --version alone: their answers, below.)
        {{"--window"}, Action::Play, true},
        {{"--window", "--window"}, Action::Play, true},
        {{"-h"}, Action::ShowHelp, false},
        {{"--window", "--help"}, Action::ShowHelp, true},
        // The first question is answered; what follows it is not read.
        {{"--help", "--nonsense"}, Action::ShowHelp, false},
        {{"--version", "--help"}, Action::ShowVersion, false},
        {{"--help", "--version"}, Action::ShowHelp, false},
    };
    for (const auto& row : rows)
    {
        const std::string shown = ::testing::PrintToString(row.arguments);
        const CommandLine line = ParseCommandLine(row.arguments);
        EXPECT_EQ(line.action, row.action) << shown;
        EXPECT_EQ(line.error, "") << shown;
        EXPECT_EQ(line.window, row.window) << shown;
    }
}

TEST(CommandLine, HelpNamesEveryOptionTheKeysTheDataDirectoriesAndHowToHostAndJoin)
{
    const std::string help = HelpText();
    EXPECT_EQ(help.rfind("Usage: korvane [OPTION]...\n", 0), 0u) << help;
    for (const char* expected :
         {"  -h, --help ", "      --window ", "      --version ", "Alt+Enter", "Escape", "Tab (held)",
          "Models/Maps/", "Sounds/", "/usr/share/games/korvane", "korvane/saves", "  v  ", "--host",
          "--join ADDRESS[:PORT]", "--code CODE", "--name NAME", "--port P", "--bind ADDRESS",
          "\n  y              while waiting in a network game"})
    {
        EXPECT_NE(help.find(expected), std::string::npos) << "no '" << expected << "' in:\n" << help;
    }
    // Every line fits a terminal of 80 columns.
    size_t start = 0;
    for (size_t end; (end = help.find('\n', start)) != std::string::npos; start = end + 1)
    {
        EXPECT_LE(end - start, 80u) << help.substr(start, end - start);
    }
    EXPECT_EQ(help.back(), '\n');
}

TEST(CommandLine, TheAnswerGoesToTheRightStreamWithItsExitStatus)
{
    const struct
    {
        std::vector<std::string> arguments;
        int status;
        std::string out, err;
    } rows[] = {
        {{}, 0, "", ""},
        {{"--version"}, 0, VersionText(), ""},
        {{"--help"}, 0, HelpText(), ""},
        {{"--bogus"},
         2,
         "",
         "korvane: unknown option '--bogus'\nUsage: korvane [OPTION]...\nTry 'korvane --help' for more "
         "information.\n"},
    };
    for (const auto& row : rows)
    {
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        const int status = AnswerCommandLine(ParseCommandLine(row.arguments));
        const std::string out = ::testing::internal::GetCapturedStdout();
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(status, row.status) << ::testing::PrintToString(row.arguments);
        EXPECT_EQ(out, row.out);
        EXPECT_EQ(err, row.err);
    }
}

// A table with options that take values, as the network options will.
const CommandLineOption kValueOptions[] = {
    {"--join", nullptr, "ADDRESS[:PORT]", "join a game",
     [](CommandLine& line, const std::string& value) { line.error += "join=" + value + ";"; }},
    {"--code", "-c", "CODE", "the game's code",
     [](CommandLine& line, const std::string& value) { line.error += "code=" + value + ";"; }},
    {"--help", "-h", nullptr, "help",
     [](CommandLine& line, const std::string&) { line.action = Action::ShowHelp; }},
};

// What the value options recorded (in `error`, for want of fields of their own), or the refusal.
std::string Read(const std::vector<std::string>& arguments)
{
    const CommandLine line = ParseArguments(arguments, kValueOptions, 3);
    return (line.action == Action::ShowUsageError ? "refused: " : "") + line.error;
}

TEST(CommandLine, AValueFollowsItsOptionAsTheNextArgumentOrAfterAnEqualsSign)
{
    EXPECT_EQ(Read({"--join", "10.0.0.1:4000", "--code", "XYZ"}), "join=10.0.0.1:4000;code=XYZ;");
    EXPECT_EQ(Read({"--join=host", "-c", "7"}), "join=host;code=7;");
    EXPECT_EQ(Read({"--join="}), "join=;");
    EXPECT_EQ(Read({"--join", "--code"}), "join=--code;") << "the next argument is the value, whatever it is";
    EXPECT_EQ(Read({"--code=a=b"}), "code=a=b;") << "split at the first equals sign";
    EXPECT_EQ(Read({"--join"}), "refused: option '--join' needs a value (ADDRESS[:PORT])");
    EXPECT_EQ(Read({"--code", "1", "--join"}), "refused: option '--join' needs a value (ADDRESS[:PORT])");
    EXPECT_EQ(Read({"-c=1"}), "refused: unknown option '-c=1'") << "only long options join their value";
    EXPECT_EQ(Read({"--join", "h", "--help", "--code"}), "join=h;") << "help ends the reading";
}

// A network choice as one line: role, address:port, code, name.
std::string Describe(const NetChoice& net)
{
    const char* const roles[] = {"none", "host", "join"};
    return std::string(roles[int(net.role)]) + " " + net.address + ":" + std::to_string(net.port) + " " +
           net.code + " " + net.name;
}

TEST(CommandLine, NetworkOptionsHostOrJoin)
{
    const struct
    {
        std::vector<std::string> arguments;
        const char* net;
    } rows[] = {
        {{}, "none :24250  "},
        {{"--host"}, "host :24250  "},
        {{"--host", "--port", "3000"}, "host :3000  "},
        {{"--host", "--port=65535", "--code", "K7WQ2M", "--name", "Ann"}, "host :65535 K7WQ2M Ann"},
        {{"--join", "192.0.2.10", "--code", "K7WQ2M"}, "join 192.0.2.10:24250 K7WQ2M "},
        {{"--join", "relay.example.org:3000", "--code", "K7WQ2M"}, "join relay.example.org:3000 K7WQ2M "},
        {{"--code", "K7WQ2M", "--join=127.0.0.1:1", "--name", "Bo Li"}, "join 127.0.0.1:1 K7WQ2M Bo Li"},
        // Alone, these fill the menu's network panel.
        {{"--name", "Bo", "--port", "4000"}, "none :4000  Bo"},
    };
    for (const auto& row : rows)
    {
        const CommandLine line = ParseCommandLine(row.arguments);
        ASSERT_EQ(line.action, CommandLine::Action::Play) << line.error;
        EXPECT_EQ(Describe(line.net), row.net);
    }
}

TEST(CommandLine, ARefusalSaysWhichArgumentAndWhy)
{
    const struct
    {
        std::vector<std::string> arguments;
        const char* error;
    } rows[] = {
        // Unknown options (a refusal ends the reading), stray words, values where none is taken.
        {{"--nonsense"}, "unknown option '--nonsense'"},
        {{"--nonsense", "--help"}, "unknown option '--nonsense'"},
        {{"--window", "-x"}, "unknown option '-x'"},
        {{"--nonsense=3"}, "unknown option '--nonsense'"},
        {{"-w"}, "unknown option '-w'"},
        {{"--Window"}, "unknown option '--Window'"},
        {{"--win"}, "unknown option '--win'"},
        {{"-"}, "unknown option '-'"},
        {{"--"}, "unknown option '--'"},
        {{""}, "unexpected argument ''"},
        {{"window"}, "unexpected argument 'window'"},
        {{"--window", "map1"}, "unexpected argument 'map1'"},
        {{"--window=no"}, "option '--window' takes no value"},
        {{"--help=1"}, "option '--help' takes no value"},
        // Network options that cannot work together or with their values.
        {{"--join", "127.0.0.1"}, "--join needs --code (the code the host shows)"},
        {{"--host", "--join", "h", "--code", "K7WQ2M"}, "--host and --join cannot go together"},
        {{"--join", "h", "--code", "K7WQ2M", "--host"}, "--host and --join cannot go together"},
        {{"--join", "h", "--code", "K7WQ2M", "--port", "3000"},
         "--port and --bind go with --host; give --join its port as ADDRESS:PORT"},
        {{"--join", "h:0", "--code", "K7WQ2M"}, "--join: a port is a number from 1 to 65535, not \"0\""},
        {{"--join", "h:x", "--code", "K7WQ2M"}, "--join: a port is a number from 1 to 65535, not \"x\""},
        {{"--join", "a/b", "--code", "K7WQ2M"},
         "--join: an address is a host name or IPv4 address, with :PORT or without, not \"a/b\""},
        {{"--join", ":3000", "--code", "K7WQ2M"},
         "--join: an address is a host name or IPv4 address, with :PORT or without, not \":3000\""},
        {{"--host", "--port", "0"}, "--port takes a number from 1 to 65535, not '0'"},
        {{"--host", "--port", "65536"}, "--port takes a number from 1 to 65535, not '65536'"},
        {{"--host", "--port", "-1"}, "--port takes a number from 1 to 65535, not '-1'"},
        {{"--host", "--code", "K7WQ2"}, "--code takes 6 to 16 capital letters and digits, not 'K7WQ2'"},
        {{"--host", "--code", "k7wq2m"}, "--code takes 6 to 16 capital letters and digits, not 'k7wq2m'"},
        {{"--host", "--name", ""}, "--name takes 1 to 20 plain characters"},
        {{"--host", "--name", "123456789012345678901"}, "--name takes 1 to 20 plain characters"},
        {{"--host", "--bind", "127.0.0.1:5"}, "--bind takes an address of this machine, not '127.0.0.1:5'"},
        {{"--host", "--port"}, "option '--port' needs a value (P)"},
    };
    for (const auto& row : rows)
    {
        const std::string shown = ::testing::PrintToString(row.arguments);
        const CommandLine line = ParseCommandLine(row.arguments);
        EXPECT_EQ(line.action, CommandLine::Action::ShowUsageError) << shown;
        EXPECT_EQ(line.error, row.error) << shown;
    }
}

} // namespace
