// Standard error written line by line, seen from the writes that reach the
// system: standard error is made a datagram socket for a moment, so that each
// write arrives as one datagram. Each case runs in a child process of its own,
// so that it starts from the library's own settings.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "app/ErrorLines.h"

namespace
{

// Writes two lines in pieces, as the game does (a C++ stream line and a C
// line), with standard error written line by line if asked, then writes the
// writes that reached the system, each in brackets with its newline as '/',
// and exits.
[[noreturn]] void WriteLinesInPiecesAndExit(bool lineByLine)
{
    if (lineByLine)
        WriteErrorsLineByLine();
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_DGRAM, 0, ends) != 0)
        std::exit(2);
    const int saved = dup(2);
    dup2(ends[0], 2);
    std::cerr << "    Removing "
              << "lights" << std::endl;
    std::fprintf(stderr, "korvane: ");
    std::fprintf(stderr, "left\n");
    std::fflush(stderr);
    dup2(saved, 2);

    std::string writes;
    char buffer[256];
    ssize_t n;
    while ((n = recv(ends[1], buffer, sizeof buffer, MSG_DONTWAIT)) > 0)
    {
        std::string piece(buffer, size_t(n));
        for (char& c : piece)
            c = c == '\n' ? '/' : c;
        writes += "[" + piece + "]";
    }
    std::fprintf(stderr, "%s\n", writes.c_str());
    std::fflush(stderr);
    std::exit(0);
}

} // namespace

TEST(ErrorLinesDeathTest, EachLineReachesTheSystemInOneWriteOnlyWhenWrittenLineByLine)
{
    EXPECT_EXIT(WriteLinesInPiecesAndExit(false), ::testing::ExitedWithCode(0),
                "^\\[    Removing \\]\\[lights\\]\\[/\\]\\[korvane: \\]\\[left/\\]\n$")
        << "the library's own settings: a piece a write";
    EXPECT_EXIT(WriteLinesInPiecesAndExit(true), ::testing::ExitedWithCode(0),
                "^\\[    Removing lights/\\]\\[korvane: left/\\]\n$")
        << "line by line";
}
