#include "net/ByteStream.h"

void ByteWriter::U32(uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(uint8_t(value >> shift));
}

void ByteWriter::U64(uint64_t value)
{
    for (int shift = 0; shift < 64; shift += 8)
        bytes.push_back(uint8_t(value >> shift));
}

void ByteWriter::ShortString(const std::string& text)
{
    U8(uint8_t(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
}

void ByteWriter::Blob(const std::vector<uint8_t>& data)
{
    U32(uint32_t(data.size()));
    bytes.insert(bytes.end(), data.begin(), data.end());
}

bool ByteReader::Need(size_t count)
{
    if (failed || size - pos < count)
    {
        failed = true;
        return false;
    }
    return true;
}

uint8_t ByteReader::U8()
{
    if (!Need(1))
        return 0;
    return data[pos++];
}

uint32_t ByteReader::U32()
{
    if (!Need(4))
        return 0;
    uint32_t value = 0;
    for (int k = 0; k < 4; k++)
        value |= uint32_t(data[pos++]) << (8 * k);
    return value;
}

uint64_t ByteReader::U64()
{
    if (!Need(8))
        return 0;
    uint64_t value = 0;
    for (int k = 0; k < 8; k++)
        value |= uint64_t(data[pos++]) << (8 * k);
    return value;
}

std::string ByteReader::ShortString(size_t maxLength)
{
    const size_t length = U8();
    if (length > maxLength || !Need(length))
    {
        failed = true;
        return std::string();
    }
    std::string text(reinterpret_cast<const char*>(data + pos), length);
    for (char c : text)
        if (c < ' ' || c > '~')
            failed = true;
    pos += length;
    return failed ? std::string() : text;
}

std::vector<uint8_t> ByteReader::Blob(size_t maxLength)
{
    const size_t length = U32();
    if (length > maxLength || !Need(length))
    {
        failed = true;
        return std::vector<uint8_t>();
    }
    std::vector<uint8_t> blob(data + pos, data + pos + length);
    pos += length;
    return blob;
}
