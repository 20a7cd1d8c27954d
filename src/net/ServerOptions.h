#ifndef KORVANE_NET_SERVEROPTIONS_H
#define KORVANE_NET_SERVEROPTIONS_H

#include <string>

#include "net/RelayServer.h"

// The command line of korvane-server.
struct ServerOptions
{
    RelayConfig relay;
    bool once = false; // serve one game, then exit (see kServerUsage)
    bool help = false;
};

extern const char* const kServerUsage;

// Reads the options after the program name. On a bad option returns false
// with a one-line reason in error.
bool ParseServerOptions(int argc, const char* const argv[], ServerOptions& options, std::string& error);

// A whole number from low to high, all digits; false otherwise.
bool ParseBoundedNumber(const std::string& text, long low, long high, long& value);

#endif
