#ifndef KORVANE_NET_MESSAGE_H
#define KORVANE_NET_MESSAGE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The messages between the game's machines and the relay, and their bytes on
// the wire. Every message is one reliable ENet packet: a type byte, then the
// fields in a fixed order, little-endian, nothing after the last one.
// Decoding is strict and bounded: a wrong length, an unknown type or value,
// a string with a control character or over its limit, or a snapshot over
// kMaxSnapshotBytes makes the whole message malformed, and the decoder never
// allocates more than the bytes it was handed.

constexpr uint8_t kProtocolVersion = 1;
constexpr int kMaxSeats = 4;
constexpr size_t kMaxSnapshotBytes = 2 * 1024 * 1024;
constexpr size_t kMaxSettingsBytes = 256;
constexpr size_t kMaxReportBytes = 4096;
constexpr size_t kMaxNameLength = 20;
constexpr size_t kMinCodeLength = 6;
constexpr size_t kMaxCodeLength = 16;
constexpr size_t kMaxReasonLength = 120;
// Every message but a turn fits in this; a turn is its snapshot and a header.
constexpr size_t kMaxSmallMessageBytes = 1024;
constexpr size_t kMaxMessageBytes = kMaxSnapshotBytes + kMaxReportBytes + 64;
constexpr uint8_t kNoSeat = 0xFF;

enum class MessageType : uint8_t
{
    Join = 1,      // machine -> relay: the first message of every connection
    Refused = 2,   // relay -> machine: why the join failed; the relay then disconnects
    SeatTable = 3, // relay -> machine: every seat, and which machine the receiver is
    Turn = 4,      // both ways: the game after a turn, and whose turn is next
    Mismatch = 5,  // both ways: a loaded snapshot's hash differs from the one sent
    SeatEvent = 6, // relay -> machine: a seat's player joined, left, timed out, came back
    Vote = 7,      // machine -> relay: let the computer take over an empty seat
};

// What the host asks for each seat when it opens the game.
enum class SeatPlan : uint8_t
{
    HostHuman = 0,    // a person at the host's screen
    HostComputer = 1, // the computer, on the host's machine
    Open = 2,         // a remote player's, taken by the next join
};

// Who plays a seat now.
enum class SeatControl : uint8_t
{
    Person = 0,
    Computer = 1,
};

// Whether the seat's machine is there.
enum class SeatPresence : uint8_t
{
    Open = 0,     // nobody has joined into it yet
    Present = 1,  // its machine is connected
    Away = 2,     // its machine left; the seat is kept for it
    TimedOut = 3, // its machine fell silent; the seat is kept for it
};

enum class SeatEventKind : uint8_t
{
    Joined = 0,
    Left = 1,
    TimedOut = 2,
    Rejoined = 3,
    TakenOver = 4, // the computer plays it from now on
};

enum class RefusalReason : uint8_t
{
    WrongCode = 0,
    GameFull = 1,
    NameInUse = 2,
    NoGame = 3,
    RelayBusy = 4,
    BadVersion = 5,
    HostLeft = 6,
    Malformed = 7,
};

struct SeatEntry
{
    SeatControl control = SeatControl::Person;
    SeatPresence presence = SeatPresence::Open;
    uint8_t machine = 0; // the machine that plays it; 0 none
    std::string name;    // the player's name, or empty
};

// One decoded message: its type and the fields that type uses; the others
// keep their defaults.
struct Message
{
    MessageType type = MessageType::Join;

    // Join
    uint8_t version = kProtocolVersion;
    std::string code;
    std::string name;
    bool host = false;             // the host opens the game with a plan and settings
    std::vector<SeatPlan> plan;    // host only: one per seat, 2 to 4
    std::vector<uint8_t> settings; // host only: the game's set-up, opaque to the relay

    // Refused
    RefusalReason reason = RefusalReason::WrongCode;
    std::string text;

    // SeatTable (settings as above)
    uint8_t yourMachine = 0;
    bool started = false;
    std::vector<SeatEntry> seats;

    // Turn: the game as it stands after turn number turn, to be played next
    // by seatToPlay, or over with winner (kNoSeat: none); hash is the game's
    // state hash the receiver checks after loading the snapshot. report says
    // what happened during the turn that the snapshot alone cannot (the
    // order of the losses); both are opaque to the relay.
    uint32_t turn = 0;
    uint8_t seatToPlay = 0;
    bool gameOver = false;
    uint8_t winner = kNoSeat;
    uint64_t hash = 0;
    std::vector<uint8_t> snapshot;
    std::vector<uint8_t> report;

    // Mismatch (turn as above): the hash sent and the one computed
    uint64_t computed = 0;

    // SeatEvent (name as above), Vote
    uint8_t seat = 0;
    SeatEventKind event = SeatEventKind::Joined;
};

std::vector<uint8_t> EncodeMessage(const Message& message);

// Decodes size bytes into message. On malformed bytes returns false with a
// short reason in error; message is then unspecified.
bool DecodeMessage(const uint8_t* data, size_t size, Message& message, std::string& error);

// A game code: 6 to 16 characters, capital letters and digits.
bool IsValidCode(const std::string& code);
// A player's name: 1 to 20 printable characters, not all spaces.
bool IsValidName(const std::string& name);

const char* MessageTypeName(MessageType type);
const char* RefusalText(RefusalReason reason);

#endif
