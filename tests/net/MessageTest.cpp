#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

#include "NetMessages.h"
#include "net/EnetLibrary.h"
#include "net/Message.h"
#include "net/RelayAddress.h"

namespace
{

Message HostJoin()
{
    return Host({SeatPlan::HostHuman, SeatPlan::Open, SeatPlan::HostComputer}, "Ann", "K7WQ2M");
}

Message TurnMessage(size_t snapshotBytes)
{
    Message m;
    m.type = MessageType::Turn;
    m.turn = 0x01020304;
    m.seatToPlay = 2;
    m.gameOver = true;
    m.winner = 3;
    m.hash = 0x1122334455667788ull;
    for (size_t k = 0; k < snapshotBytes; k++)
        m.snapshot.push_back(uint8_t(k * 31));
    m.report = {'P', '2', ' ', 'X'};
    return m;
}

// The fuzzer's seeds: one well-formed message of every type, in the order of
// the types (join, a host's and a player's, refused, seat table, turn,
// mismatch, seat event, vote). Written once by hand, they also stand for every
// field: one left out of both the writer and the reader leaves bytes over.
const char* const kSeeds[] = {"join-host", "join",     "refused",    "seat-table",
                              "turn",      "mismatch", "seat-event", "vote"};

std::vector<uint8_t> Seed(const std::string& name)
{
    const std::string path = std::string(KORVANE_SOURCE_DIR) + "/fuzz/seeds-net/" + name;
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file) << path;
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

bool Decodes(const std::vector<uint8_t>& bytes, Message& m)
{
    std::string error;
    const bool ok = DecodeMessage(bytes.data(), bytes.size(), m, error);
    EXPECT_EQ(ok, error.empty()) << error;
    return ok;
}

bool Decodes(const std::vector<uint8_t>& bytes)
{
    Message m;
    return Decodes(bytes, m);
}

} // namespace

TEST(Message, FieldsAreLittleEndianInTheirOrder)
{
    EXPECT_EQ(EncodeMessage(Vote(2)), (std::vector<uint8_t>{7, 2})); // a vote for seat 3
    Message m = TurnMessage(2);
    // type, turn, seat to play, game over, winner, hash, snapshot, report
    const std::vector<uint8_t> expected = {4,    4,    3,    2,    1,    2,    1,   3,   0x88, 0x77,
                                           0x66, 0x55, 0x44, 0x33, 0x22, 0x11, 2,   0,   0,    0,
                                           0,    31,   4,    0,    0,    0,    'P', '2', ' ',  'X'};
    EXPECT_EQ(EncodeMessage(m), expected);
}

TEST(Message, EverySeedDecodesAndEncodesBackButNoCutOrLengthenedOne)
{
    std::set<MessageType> types;
    for (const char* name : kSeeds)
    {
        const std::vector<uint8_t> bytes = Seed(name);
        Message m;
        ASSERT_TRUE(Decodes(bytes, m)) << name;
        EXPECT_EQ(EncodeMessage(m), bytes) << name; // one spelling for every message
        types.insert(m.type);
        for (size_t size = 0; size < bytes.size(); size++)
            EXPECT_FALSE(Decodes(std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(size))))
                << name << " cut to " << size;
        std::vector<uint8_t> longer = bytes;
        longer.push_back(0);
        EXPECT_FALSE(Decodes(longer)) << name << " with a byte more";
    }
    EXPECT_EQ(types.size(), 7u);
}

TEST(Message, OutOfRangeValuesAreMalformed)
{
    // Each row: a message's bytes, the byte to change, its new value.
    struct Row
    {
        std::vector<uint8_t> bytes;
        size_t at;
        uint8_t value;
        const char* what;
    };
    const std::vector<uint8_t> refused = Seed("refused"), table = Seed("seat-table"),
                               event = Seed("seat-event"), vote = Seed("vote"),
                               turn = EncodeMessage(TurnMessage(3)), host = EncodeMessage(HostJoin());
    const Row rows[] = {
        {vote, 0, 0, "type 0"},
        {vote, 0, 8, "type past the last"},
        {vote, 0, 255, "type 255"},
        {vote, 1, 4, "seat 4"},
        {vote, 1, kNoSeat, "no seat where one is needed"},
        {turn, 5, 4, "seat to play 4"},
        {turn, 6, 2, "game-over flag 2"},
        {turn, 7, 4, "winner seat 4"},
        {event, 2, 5, "seat event past the last"},
        {event, 4, '\n', "a control character in a name"},
        {event, 4, 0x7F, "delete in a name"},
        {event, 4, 0x80, "a byte over 127 in a name"},
        {refused, 1, 8, "refusal reason past the last"},
        {host, 1 + 1 + 7 + 4, 2, "host flag 2"},
        {host, 1 + 1 + 7 + 4 + 1, 1, "a host plan of one seat"},
        {host, 1 + 1 + 7 + 4 + 1, 5, "a host plan of five seats"},
        {host, 1 + 1 + 7 + 4 + 2, 3, "seat plan past the last"},
        {table, 3, 5, "a seat table of five seats"},
        {table, 4, 2, "seat control past the last"},
        {table, 5, 4, "seat presence past the last"},
    };
    for (const Row& row : rows)
    {
        std::vector<uint8_t> bytes = row.bytes;
        ASSERT_TRUE(Decodes(bytes)) << row.what;
        ASSERT_LT(row.at, bytes.size()) << row.what;
        bytes[row.at] = row.value;
        EXPECT_FALSE(Decodes(bytes)) << row.what;
    }
}

TEST(Message, LimitsOnStringsSettingsAndSnapshots)
{
    // Each at its limit passes, one more does not.
    const struct
    {
        Message message;
        void (*fill)(Message&, size_t);
        size_t limit;
    } rows[] = {
        {HostJoin(), [](Message& m, size_t n) { m.name.assign(n, 'n'); }, kMaxNameLength},
        {HostJoin(), [](Message& m, size_t n) { m.code.assign(n, 'A'); }, kMaxCodeLength},
        {HostJoin(), [](Message& m, size_t n) { m.settings.assign(n, 9); }, kMaxSettingsBytes},
        {TurnMessage(0), [](Message& m, size_t n) { m.snapshot.assign(n, 7); }, kMaxSnapshotBytes},
        {TurnMessage(10), [](Message& m, size_t n) { m.report.assign(n, 'r'); }, kMaxReportBytes},
    };
    for (const auto& row : rows)
    {
        Message m = row.message;
        row.fill(m, row.limit);
        Message got;
        EXPECT_TRUE(Decodes(EncodeMessage(m), got)) << row.limit;
        EXPECT_TRUE(EncodeMessage(got) == EncodeMessage(m)) << row.limit;
        row.fill(m, row.limit + 1);
        EXPECT_FALSE(Decodes(EncodeMessage(m))) << row.limit;
    }

    // A length that claims more than the message holds fails before any
    // allocation of that size (the sanitizer run would report one of 4 GB).
    std::vector<uint8_t> bytes = EncodeMessage(TurnMessage(4));
    bytes[16] = bytes[17] = bytes[18] = bytes[19] = 0xFF;
    EXPECT_FALSE(Decodes(bytes));
    bytes[19] = 0x00;
    bytes[18] = 0x10; // 1 MB claimed, 4 bytes there
    EXPECT_FALSE(Decodes(bytes));
}

TEST(Message, CodesAndNames)
{
    for (const char* code : {"ABC123", "K7WQ2M", "0123456789ABCDEF"})
        EXPECT_TRUE(IsValidCode(code)) << code;
    for (const char* code : {"", "ABC12", "abc123", "ABC 123", "ABC-123", "0123456789ABCDEFG", "ÄBC123"})
        EXPECT_FALSE(IsValidCode(code)) << code;
    for (const char* name : {"A", "Ann", "Bo the Brave", "x_y-z!", "12345678901234567890"})
        EXPECT_TRUE(IsValidName(name)) << name;
    for (const char* name : {"", " ", "     ", "tab\there", "123456789012345678901", "caf\xc3\xa9"})
        EXPECT_FALSE(IsValidName(name)) << name;
}

TEST(RelayAddress, AddressesAsPlayersTypeThem)
{
    const struct
    {
        const char* text;
        const char* host;
        unsigned short port;
    } accepted[] = {
        {"127.0.0.1", "127.0.0.1", kDefaultPort},
        {"127.0.0.1:9000", "127.0.0.1", 9000},
        {"relay.example.org:1", "relay.example.org", 1},
        {"localhost:65535", "localhost", 65535},
    };
    for (const auto& row : accepted)
    {
        std::string host, error;
        unsigned short port = 0;
        EXPECT_TRUE(ParseRelayAddress(row.text, host, port, error)) << row.text;
        EXPECT_EQ(error, "") << row.text;
        EXPECT_EQ(host, row.host);
        EXPECT_EQ(port, row.port);
    }
    for (const char* text : {"localhost:65536", "localhost:0", "localhost:", "localhost:12a", ":9000", "",
                             "::1", "a b:9000", "host/x"})
    {
        std::string host, error;
        unsigned short port = 0;
        EXPECT_FALSE(ParseRelayAddress(text, host, port, error)) << text;
        EXPECT_NE(error, "") << text;
    }
}
