#ifndef KORVANE_SAVE_SNAPSHOTCODEC_H
#define KORVANE_SAVE_SNAPSHOTCODEC_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "save/Snapshot.h"

// A snapshot as bytes: a saved game's file, and what travels between the
// machines of a network game. The bytes are one line of text,
//
//     korvane-save <version> <map> <body length> <body hash, 16 hex digits>
//
// and the body: the snapshot's records as CBOR (RFC 8949) through
// nlohmann/json, every float and double kept exactly (docs/saves.md).
// Nothing here needs OpenGL or the game's files.

// The file's first line, read alone: enough to name the map of a save.
struct SaveHeader
{
    int32_t version = 0;
    std::string map;
    uint64_t bodyLength = 0;
    uint64_t bodyHash = 0;
};

// The whole file for a snapshot (the header's version is kSnapshotVersion).
std::vector<uint8_t> EncodeSnapshot(const Snapshot& snapshot);
// The same, with SnapshotHash's hash taken from the body just encoded rather
// than by encoding it again.
std::vector<uint8_t> EncodeSnapshot(const Snapshot& snapshot, uint64_t& hash);

// Reads a whole file: the header, the body, the records and CheckSnapshot.
// False with a reason a player can act on ("the file is cut short: ...")
// for anything else; snapshot is then unspecified. Never throws; memory and
// time stay within a small multiple of the size.
bool DecodeSnapshot(const uint8_t* data, size_t size, Snapshot& snapshot, std::string& error);
bool DecodeSnapshot(const std::vector<uint8_t>& bytes, Snapshot& snapshot, std::string& error);

// Reads only the first line. False with the reason when it is not the
// header of a save this game could read.
bool ReadSaveHeader(const uint8_t* data, size_t size, SaveHeader& header, std::string& error);

// The hash of the game state: of the snapshot's encoded body, as the header
// carries it. Two machines hold the same game when the snapshots taken of
// their games have the same hash.
uint64_t SnapshotHash(const Snapshot& snapshot);

#endif
