#ifndef KORVANE_NET_BYTESTREAM_H
#define KORVANE_NET_BYTESTREAM_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Little-endian writing and bounds-checked reading of the protocol's fields.
// The reader never reads past its end and never allocates more than the
// bytes it was given: a read that does not fit fails, and every later read
// fails too, so a decoder checks Ok() once at the end.

class ByteWriter
{
  public:
    void U8(uint8_t value) { bytes.push_back(value); }
    void U32(uint32_t value);
    void U64(uint64_t value);
    // A length byte and the characters; the caller keeps text under 256.
    void ShortString(const std::string& text);
    // A 32-bit length and the bytes.
    void Blob(const std::vector<uint8_t>& data);

    const std::vector<uint8_t>& Bytes() const { return bytes; }
    std::vector<uint8_t> Take() { return std::move(bytes); }

  private:
    std::vector<uint8_t> bytes;
};

class ByteReader
{
  public:
    ByteReader(const uint8_t* data, size_t size) : data(data), size(size), pos(0), failed(false) {}

    uint8_t U8();
    uint32_t U32();
    uint64_t U64();
    // Fails when the length is over maxLength or a character is not
    // printable ASCII (space to tilde).
    std::string ShortString(size_t maxLength);
    // Fails when the length is over maxLength or more than what is left.
    std::vector<uint8_t> Blob(size_t maxLength);

    bool Ok() const { return !failed; }
    bool AtEnd() const { return pos == size; }
    void Fail() { failed = true; }

  private:
    bool Need(size_t count);

    const uint8_t* data;
    size_t size;
    size_t pos;
    bool failed;
};

#endif
