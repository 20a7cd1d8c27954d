#ifndef KORVANE_NET_RELAYADDRESS_H
#define KORVANE_NET_RELAYADDRESS_H

#include <string>

// "ADDRESS[:PORT]" as a player types it: a host name or IPv4 address, and a
// port from 1 to 65535 (kDefaultPort when none is given). False with a
// reason for anything else.
bool ParseRelayAddress(const std::string& text, std::string& host, unsigned short& port, std::string& error);

#endif
