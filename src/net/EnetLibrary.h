#ifndef KORVANE_NET_ENETLIBRARY_H
#define KORVANE_NET_ENETLIBRARY_H

#include <string>

struct _ENetAddress;

// ENet is initialised once for the program, when the first host or client
// is made, and left initialised until the program exits.
bool InitEnet(std::string& error);

// Resolves "127.0.0.1", a host name, or "" (every address) into address.
bool ResolveAddress(const std::string& host, unsigned short port, _ENetAddress& address, std::string& error);

// "127.0.0.1:24250".
std::string AddressText(const _ENetAddress& address);

// The relay's port when none is given.
constexpr unsigned short kDefaultPort = 24250;

// The disconnect value of a machine that leaves on purpose; any other
// (a time-out gives 0) counts as a machine that fell silent.
constexpr unsigned int kLeaveData = 0x4B4C;

#endif
