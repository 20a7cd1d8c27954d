// A session's own check of the code before it connects. Sessions playing whole
// games through a relay: NetGameTest (the game's side against a scripted
// host), the e2e network tests and net_games (programs on loopback).
#include <gtest/gtest.h>

#include "net/NetSession.h"

TEST(Sessions, AMalformedCodeFailsBeforeAnythingIsSent)
{
    NetSession bad;
    std::string error;
    EXPECT_FALSE(bad.Join("127.0.0.1", 1, "abc", "Bo", error));
    EXPECT_NE(error.find("capital letters"), std::string::npos) << error;
}
