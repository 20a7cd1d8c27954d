#include "net/Message.h"

#include "net/ByteStream.h"

namespace
{

void WriteJoin(ByteWriter& out, const Message& m)
{
    out.U8(m.version);
    out.ShortString(m.code);
    out.ShortString(m.name);
    out.U8(m.host ? 1 : 0);
    if (!m.host)
        return;
    out.U8(uint8_t(m.plan.size()));
    for (SeatPlan p : m.plan)
        out.U8(uint8_t(p));
    out.Blob(m.settings);
}

void WriteSeatTable(ByteWriter& out, const Message& m)
{
    out.U8(m.yourMachine);
    out.U8(m.started ? 1 : 0);
    out.U8(uint8_t(m.seats.size()));
    for (const SeatEntry& seat : m.seats)
    {
        out.U8(uint8_t(seat.control));
        out.U8(uint8_t(seat.presence));
        out.U8(seat.machine);
        out.ShortString(seat.name);
    }
    out.Blob(m.settings);
}

void WriteTurn(ByteWriter& out, const Message& m)
{
    out.U32(m.turn);
    out.U8(m.seatToPlay);
    out.U8(m.gameOver ? 1 : 0);
    out.U8(m.winner);
    out.U64(m.hash);
    out.Blob(m.snapshot);
    out.Blob(m.report);
}

bool ReadFlag(ByteReader& in)
{
    const uint8_t value = in.U8();
    if (value > 1)
        in.Fail();
    return value == 1;
}

// A seat index, or kNoSeat where allowed.
uint8_t ReadSeat(ByteReader& in, bool noneAllowed)
{
    const uint8_t seat = in.U8();
    if (seat >= kMaxSeats && !(noneAllowed && seat == kNoSeat))
        in.Fail();
    return seat;
}

template <typename Enum> Enum ReadEnum(ByteReader& in, uint8_t last)
{
    const uint8_t value = in.U8();
    if (value > last)
        in.Fail();
    return Enum(value);
}

bool ReadJoin(ByteReader& in, Message& m)
{
    m.version = in.U8();
    m.code = in.ShortString(kMaxCodeLength);
    m.name = in.ShortString(kMaxNameLength);
    m.host = ReadFlag(in);
    if (!m.host)
        return in.Ok();
    const uint8_t count = in.U8();
    if (count < 2 || count > kMaxSeats)
        in.Fail();
    for (uint8_t k = 0; k < count && in.Ok(); k++)
        m.plan.push_back(ReadEnum<SeatPlan>(in, uint8_t(SeatPlan::Open)));
    m.settings = in.Blob(kMaxSettingsBytes);
    return in.Ok();
}

bool ReadSeatTable(ByteReader& in, Message& m)
{
    m.yourMachine = in.U8();
    m.started = ReadFlag(in);
    const uint8_t count = in.U8();
    if (count < 2 || count > kMaxSeats)
        in.Fail();
    for (uint8_t k = 0; k < count && in.Ok(); k++)
    {
        SeatEntry seat;
        seat.control = ReadEnum<SeatControl>(in, uint8_t(SeatControl::Computer));
        seat.presence = ReadEnum<SeatPresence>(in, uint8_t(SeatPresence::TimedOut));
        seat.machine = in.U8();
        seat.name = in.ShortString(kMaxNameLength);
        m.seats.push_back(seat);
    }
    m.settings = in.Blob(kMaxSettingsBytes);
    return in.Ok();
}

bool ReadTurn(ByteReader& in, Message& m)
{
    m.turn = in.U32();
    m.seatToPlay = ReadSeat(in, false);
    m.gameOver = ReadFlag(in);
    m.winner = ReadSeat(in, true);
    m.hash = in.U64();
    m.snapshot = in.Blob(kMaxSnapshotBytes);
    m.report = in.Blob(kMaxReportBytes);
    return in.Ok();
}

} // namespace

std::vector<uint8_t> EncodeMessage(const Message& m)
{
    ByteWriter out;
    out.U8(uint8_t(m.type));
    switch (m.type)
    {
    case MessageType::Join:
        WriteJoin(out, m);
        break;
    case MessageType::Refused:
        out.U8(uint8_t(m.reason));
        out.ShortString(m.text);
        break;
    case MessageType::SeatTable:
        WriteSeatTable(out, m);
        break;
    case MessageType::Turn:
        WriteTurn(out, m);
        break;
    case MessageType::Mismatch:
        out.U32(m.turn);
        out.U64(m.hash);
        out.U64(m.computed);
        out.U8(m.seat);
        break;
    case MessageType::SeatEvent:
        out.U8(m.seat);
        out.U8(uint8_t(m.event));
        out.ShortString(m.name);
        break;
    case MessageType::Vote:
        out.U8(m.seat);
        break;
    }
    return out.Take();
}

bool DecodeMessage(const uint8_t* data, size_t size, Message& m, std::string& error)
{
    m = Message();
    if (size == 0)
    {
        error = "empty message";
        return false;
    }
    if (size > kMaxMessageBytes || (data[0] != uint8_t(MessageType::Turn) && size > kMaxSmallMessageBytes))
    {
        error = "message of " + std::to_string(size) + " bytes is too large";
        return false;
    }
    ByteReader in(data + 1, size - 1);
    m.type = MessageType(data[0]);
    switch (m.type)
    {
    case MessageType::Join:
        ReadJoin(in, m);
        break;
    case MessageType::Refused:
        m.reason = ReadEnum<RefusalReason>(in, uint8_t(RefusalReason::Malformed));
        m.text = in.ShortString(kMaxReasonLength);
        break;
    case MessageType::SeatTable:
        ReadSeatTable(in, m);
        break;
    case MessageType::Turn:
        ReadTurn(in, m);
        break;
    case MessageType::Mismatch:
        m.turn = in.U32();
        m.hash = in.U64();
        m.computed = in.U64();
        m.seat = ReadSeat(in, true);
        break;
    case MessageType::SeatEvent:
        m.seat = ReadSeat(in, false);
        m.event = ReadEnum<SeatEventKind>(in, uint8_t(SeatEventKind::TakenOver));
        m.name = in.ShortString(kMaxNameLength);
        break;
    case MessageType::Vote:
        m.seat = ReadSeat(in, false);
        break;
    default:
        error = "unknown message type " + std::to_string(data[0]);
        return false;
    }
    if (!in.Ok() || !in.AtEnd())
    {
        error = std::string("malformed ") + MessageTypeName(m.type) + " message";
        return false;
    }
    return true;
}

bool IsValidCode(const std::string& code)
{
    if (code.size() < kMinCodeLength || code.size() > kMaxCodeLength)
        return false;
    for (char c : code)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

bool IsValidName(const std::string& name)
{
    if (name.empty() || name.size() > kMaxNameLength)
        return false;
    bool printed = false;
    for (char c : name)
    {
        if (c < ' ' || c > '~')
            return false;
        printed = printed || c != ' ';
    }
    return printed;
}

const char* MessageTypeName(MessageType type)
{
    switch (type)
    {
    case MessageType::Join:
        return "join";
    case MessageType::Refused:
        return "refused";
    case MessageType::SeatTable:
        return "seat table";
    case MessageType::Turn:
        return "turn";
    case MessageType::Mismatch:
        return "mismatch";
    case MessageType::SeatEvent:
        return "seat event";
    case MessageType::Vote:
        return "vote";
    }
    return "unknown";
}

const char* RefusalText(RefusalReason reason)
{
    switch (reason)
    {
    case RefusalReason::WrongCode:
        return "wrong game code";
    case RefusalReason::GameFull:
        return "every seat is taken";
    case RefusalReason::NameInUse:
        return "that name is already playing";
    case RefusalReason::NoGame:
        return "no game has been opened on this relay";
    case RefusalReason::RelayBusy:
        return "the relay already holds another game";
    case RefusalReason::BadVersion:
        return "different protocol version";
    case RefusalReason::HostLeft:
        return "the host left before the game began";
    case RefusalReason::Malformed:
        return "malformed message";
    }
    return "refused";
}
