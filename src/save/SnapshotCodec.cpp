#include "save/SnapshotCodec.h"

// XXH64 compiled in from the header: no library to carry at run time.
#define XXH_INLINE_ALL
#include <xxhash.h>

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <type_traits>

using Json = nlohmann::json;

namespace
{

const char kMagic[] = "korvane-save";

// The header line is short; anything longer is not a save.
constexpr size_t kMaxHeaderLength = 200;
constexpr size_t kMaxMapNameLength = 64;

// ------------------------------------------------------------- writing --

// Floats and doubles go into CBOR as they are (nlohmann/json writes a double
// that a float holds exactly as a 4-byte float), except a NaN, which CBOR
// writers reduce to one canonical NaN: it is kept as its bit pattern.
Json FloatValue(float value)
{
    if (std::isnan(value))
    {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        char text[32];
        std::snprintf(text, sizeof text, "nan:%08" PRIx32, bits);
        return Json(text);
    }
    return Json(double(value));
}

Json DoubleValue(double value)
{
    if (std::isnan(value))
    {
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        char text[32];
        std::snprintf(text, sizeof text, "nan:%016" PRIx64, bits);
        return Json(text);
    }
    return Json(value);
}

class FieldWriter;

template <class T> Json ToJson(T& value);

Json ToJson(bool& value)
{
    return Json(value);
}
Json ToJson(int32_t& value)
{
    return Json(value);
}
Json ToJson(uint32_t& value)
{
    return Json(value);
}
Json ToJson(float& value)
{
    return FloatValue(value);
}
Json ToJson(double& value)
{
    return DoubleValue(value);
}
Json ToJson(std::string& value)
{
    return Json(value);
}
Json ToJson(Vector& value)
{
    return Json::array({FloatValue(value.x), FloatValue(value.y), FloatValue(value.z)});
}
Json ToJson(std::vector<bool>& values)
{
    Json array = Json::array();
    for (bool value : values)
    {
        array.push_back(value);
    }
    return array;
}
template <class T> Json ToJson(std::vector<T>& values)
{
    Json array = Json::array();
    for (T& value : values)
    {
        array.push_back(ToJson(value));
    }
    return array;
}
template <class T, size_t N> Json ToJson(T (&values)[N])
{
    Json array = Json::array();
    for (T& value : values)
    {
        array.push_back(ToJson(value));
    }
    return array;
}

// A record's fields into a JSON object, by name.
class FieldWriter
{
  public:
    explicit FieldWriter(Json& object_) : object(object_) {}
    template <class T> void operator()(const char* name, T& value, int /*since*/ = 1)
    {
        object[name] = ToJson(value);
    }

  private:
    Json& object;
};

template <class T> Json ToJson(T& record)
{
    Json object = Json::object();
    FieldWriter writer(object);
    record.Fields(writer);
    return object;
}

// ------------------------------------------------------------- reading --

// Reads values back with their path for the message ("ships[3].hull[2]").
// The first problem stops everything after it.
class Reader
{
  public:
    Reader(int32_t version_, std::string& error_) : version(version_), error(error_) {}

    bool Failed() const { return !error.empty(); }
    void Fail(const std::string& path, const std::string& what)
    {
        if (error.empty())
        {
            error = path + ": " + what;
        }
    }

    void Read(const Json& j, const std::string& path, bool& value)
    {
        if (!j.is_boolean())
        {
            return Fail(path, "not true or false");
        }
        value = j.get<bool>();
    }
    void Read(const Json& j, const std::string& path, int32_t& value)
    {
        if (j.is_number_unsigned() && j.get<uint64_t>() <= uint64_t(INT32_MAX))
        {
            value = int32_t(j.get<uint64_t>());
        }
        else if (j.is_number_integer() && !j.is_number_unsigned() && j.get<int64_t>() >= INT32_MIN &&
                 j.get<int64_t>() <= INT32_MAX)
        {
            value = int32_t(j.get<int64_t>());
        }
        else
        {
            Fail(path, "not a whole number of 32 bits");
        }
    }
    void Read(const Json& j, const std::string& path, uint32_t& value)
    {
        if (!j.is_number_unsigned() || j.get<uint64_t>() > UINT32_MAX)
        {
            return Fail(path, "not a whole number from 0 to 4294967295");
        }
        value = uint32_t(j.get<uint64_t>());
    }
    void Read(const Json& j, const std::string& path, float& value)
    {
        if (j.is_string())
        {
            uint32_t bits = 0;
            if (!NanBits(j.get_ref<const std::string&>(), 8, bits))
            {
                return Fail(path, "not a number");
            }
            std::memcpy(&value, &bits, sizeof value);
            return;
        }
        if (!j.is_number_float())
        {
            return Fail(path, "not a floating-point number");
        }
        const double d = j.get<double>();
        const float f = float(d);
        // A float was written: a double that no float holds is not one.
        if (double(f) != d)
        {
            return Fail(path, "not a single-precision number");
        }
        value = f;
    }
    void Read(const Json& j, const std::string& path, double& value)
    {
        if (j.is_string())
        {
            uint64_t bits = 0;
            if (!NanBits(j.get_ref<const std::string&>(), 16, bits))
            {
                return Fail(path, "not a number");
            }
            std::memcpy(&value, &bits, sizeof value);
            return;
        }
        if (!j.is_number_float())
        {
            return Fail(path, "not a floating-point number");
        }
        value = j.get<double>();
    }
    void Read(const Json& j, const std::string& path, std::string& value)
    {
        if (!j.is_string())
        {
            return Fail(path, "not a text");
        }
        value = j.get<std::string>();
    }
    void Read(const Json& j, const std::string& path, Vector& value)
    {
        if (!j.is_array() || j.size() != 3)
        {
            return Fail(path, "not three numbers");
        }
        Read(j[0], path + "[0]", value.x);
        Read(j[1], path + "[1]", value.y);
        Read(j[2], path + "[2]", value.z);
    }
    void Read(const Json& j, const std::string& path, std::vector<bool>& values)
    {
        if (!j.is_array())
        {
            return Fail(path, "not a list");
        }
        values.assign(j.size(), false);
        for (size_t i = 0; i < j.size() && !Failed(); i++)
        {
            bool value = false;
            Read(j[i], Index(path, i), value);
            values[i] = value;
        }
    }
    template <class T> void Read(const Json& j, const std::string& path, std::vector<T>& values)
    {
        if (!j.is_array())
        {
            return Fail(path, "not a list");
        }
        // The list holds its elements already: its size is bounded by the bytes read.
        values.clear();
        values.resize(j.size());
        for (size_t i = 0; i < j.size() && !Failed(); i++)
        {
            Read(j[i], Index(path, i), values[i]);
        }
    }
    template <class T, size_t N> void Read(const Json& j, const std::string& path, T (&values)[N])
    {
        if (!j.is_array() || j.size() != N)
        {
            return Fail(path, "not a list of " + std::to_string(N));
        }
        for (size_t i = 0; i < N && !Failed(); i++)
        {
            Read(j[i], Index(path, i), values[i]);
        }
    }
    template <class T> void Read(const Json& j, const std::string& path, T& record)
    {
        if (!j.is_object())
        {
            return Fail(path, "not a record");
        }
        FieldReader fields(*this, j, path);
        record.Fields(fields);
    }

  private:
    // A record's fields from a JSON object: a field missing from a save
    // older than the field keeps its default; missing from any other save,
    // it is an error.
    class FieldReader
    {
      public:
        FieldReader(Reader& reader_, const Json& object_, const std::string& path_)
            : reader(reader_), object(object_), path(path_)
        {
        }
        template <class T> void operator()(const char* name, T& value, int since = 1)
        {
            if (reader.Failed())
            {
                return;
            }
            const std::string at = path.empty() ? std::string(name) : path + "." + name;
            const auto found = object.find(name);
            if (found == object.end())
            {
                if (reader.version >= since)
                {
                    reader.Fail(at, "missing");
                }
                return;
            }
            reader.Read(*found, at, value);
        }

      private:
        Reader& reader;
        const Json& object;
        const std::string& path;
    };

    static std::string Index(const std::string& path, size_t i)
    {
        return path + "[" + std::to_string(i) + "]";
    }

    // "nan:" and exactly `digits` hex digits of a NaN's bit pattern.
    template <class Bits> static bool NanBits(const std::string& text, size_t digits, Bits& bits)
    {
        if (text.size() != 4 + digits || text.compare(0, 4, "nan:") != 0)
        {
            return false;
        }
        bits = 0;
        for (size_t i = 4; i < text.size(); i++)
        {
            const char c = text[i];
            int digit = -1;
            if (c >= '0' && c <= '9')
            {
                digit = c - '0';
            }
            else if (c >= 'a' && c <= 'f')
            {
                digit = c - 'a' + 10;
            }
            if (digit < 0)
            {
                return false;
            }
            bits = Bits(bits << 4) | Bits(digit);
        }
        // Only a NaN is written this way.
        if (sizeof(Bits) == 4)
        {
            float f;
            std::memcpy(&f, &bits, sizeof f);
            return std::isnan(f);
        }
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return std::isnan(d);
    }

    int32_t version;
    std::string& error;
};

std::string HexHash(uint64_t hash)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIx64, hash);
    return text;
}

bool ValidMapName(const std::string& map)
{
    if (map.empty() || map.size() > kMaxMapNameLength || map[0] == '.')
    {
        return false;
    }
    for (char c : map)
    {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                        c == '_' || c == '-' || c == '.';
        if (!ok)
        {
            return false;
        }
    }
    return true;
}

std::vector<uint8_t> EncodeBody(const Snapshot& snapshot)
{
    Snapshot copy = snapshot;
    return Json::to_cbor(ToJson(copy));
}

// A whole decimal number of the header, no sign, no leading zeros beyond "0".
bool ParseDecimal(const std::string& text, uint64_t limit, uint64_t& value)
{
    if (text.empty() || text.size() > 19 || (text.size() > 1 && text[0] == '0'))
    {
        return false;
    }
    value = 0;
    for (char c : text)
    {
        if (c < '0' || c > '9')
        {
            return false;
        }
        value = value * 10 + uint64_t(c - '0');
    }
    return value <= limit;
}

std::vector<std::string> SplitSpaces(const std::string& line)
{
    std::vector<std::string> words;
    size_t start = 0;
    while (start <= line.size())
    {
        const size_t end = line.find(' ', start);
        words.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
        {
            break;
        }
        start = end + 1;
    }
    return words;
}

} // namespace

std::vector<uint8_t> EncodeSnapshot(const Snapshot& snapshot)
{
    uint64_t hash = 0;
    return EncodeSnapshot(snapshot, hash);
}

std::vector<uint8_t> EncodeSnapshot(const Snapshot& snapshot, uint64_t& hash)
{
    const std::vector<uint8_t> body = EncodeBody(snapshot);
    hash = XXH64(body.data(), body.size(), 0);
    const std::string header = std::string(kMagic) + " " + std::to_string(kSnapshotVersion) + " " +
                               snapshot.map + " " + std::to_string(body.size()) + " " + HexHash(hash) + "\n";
    std::vector<uint8_t> bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

uint64_t SnapshotHash(const Snapshot& snapshot)
{
    const std::vector<uint8_t> body = EncodeBody(snapshot);
    return XXH64(body.data(), body.size(), 0);
}

bool ReadSaveHeader(const uint8_t* data, size_t size, SaveHeader& header, std::string& error)
{
    const size_t magicLength = sizeof kMagic - 1;
    if (size < magicLength || std::memcmp(data, kMagic, magicLength) != 0)
    {
        error = size == 0 ? "the file is empty" : "it is not a saved game of Korvane";
        return false;
    }
    const void* newline = std::memchr(data, '\n', std::min(size, kMaxHeaderLength));
    if (newline == nullptr)
    {
        error = size < kMaxHeaderLength ? "the file is cut short in its first line"
                                        : "the file is damaged: its first line is too long";
        return false;
    }
    const std::string line(reinterpret_cast<const char*>(data),
                           size_t(static_cast<const uint8_t*>(newline) - data));
    const std::vector<std::string> words = SplitSpaces(line);
    uint64_t version = 0;
    if (words.size() < 2 || !ParseDecimal(words[1], INT32_MAX, version) || version == 0)
    {
        error = "the file is damaged: its first line has no save version";
        return false;
    }
    header.version = int32_t(version);
    if (header.version > kSnapshotVersion)
    {
        error = "it was saved by a newer version of Korvane (save version " + std::to_string(version) +
                "; this version reads save versions 1 to " + std::to_string(kSnapshotVersion) + ")";
        return false;
    }
    if (words.size() != 5 || !ValidMapName(words[2]) ||
        !ParseDecimal(words[3], UINT64_MAX / 2, header.bodyLength) || words[4].size() != 16 ||
        words[4].find_first_not_of("0123456789abcdef") != std::string::npos)
    {
        error = "the file is damaged: its first line is not a save's";
        return false;
    }
    header.map = words[2];
    header.bodyHash = std::strtoull(words[4].c_str(), nullptr, 16);
    return true;
}

bool DecodeSnapshot(const uint8_t* data, size_t size, Snapshot& snapshot, std::string& error)
{
    error.clear();
    SaveHeader header;
    if (!ReadSaveHeader(data, size, header, error))
    {
        return false;
    }
    const size_t start = size_t(static_cast<const uint8_t*>(std::memchr(data, '\n', size)) - data) + 1;
    const uint64_t bodySize = size - start;
    if (bodySize < header.bodyLength)
    {
        error = "the file is cut short (" + std::to_string(size) + " bytes of " +
                std::to_string(start + header.bodyLength) + ")";
        return false;
    }
    if (bodySize > header.bodyLength)
    {
        error = "the file is damaged: " + std::to_string(bodySize - header.bodyLength) +
                " bytes follow the saved game";
        return false;
    }
    if (XXH64(data + start, size_t(header.bodyLength), 0) != header.bodyHash)
    {
        error = "the file is damaged: its contents do not match their checksum";
        return false;
    }
    // The parser reports most problems by a discarded value, some (a list
    // longer than memory could hold) by an exception even so.
    Json body;
    try
    {
        body = Json::from_cbor(data + start, data + size, true, false);
    }
    catch (const std::exception&)
    {
        body = Json(Json::value_t::discarded);
    }
    if (body.is_discarded())
    {
        error = "the file is damaged: its contents cannot be decoded";
        return false;
    }
    snapshot = Snapshot();
    std::string problem;
    Reader reader(header.version, problem);
    try
    {
        reader.Read(body, "", snapshot);
    }
    catch (const std::exception& exception)
    {
        problem = exception.what();
    }
    if (!problem.empty())
    {
        error = "the file is damaged: " + problem;
        return false;
    }
    if (!CheckSnapshot(snapshot, problem))
    {
        error = "the file is damaged: " + problem;
        return false;
    }
    if (snapshot.map != header.map)
    {
        error = "the file is damaged: its first line names the map " + header.map + ", its contents " +
                snapshot.map;
        return false;
    }
    return true;
}

bool DecodeSnapshot(const std::vector<uint8_t>& bytes, Snapshot& snapshot, std::string& error)
{
    return DecodeSnapshot(bytes.data(), bytes.size(), snapshot, error);
}
