#include "net/RelayAddress.h"

#include "net/EnetLibrary.h"
#include "net/ServerOptions.h"

bool ParseRelayAddress(const std::string& text, std::string& host, unsigned short& port, std::string& error)
{
    const size_t colon = text.rfind(':');
    const std::string name = colon == std::string::npos ? text : text.substr(0, colon);
    if (name.empty() || name.size() > 253 || name.find(':') != std::string::npos)
    {
        error = "an address is a host name or IPv4 address, with :PORT or without, not \"" + text + "\"";
        return false;
    }
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
              c == '-'))
        {
            error = "an address is a host name or IPv4 address, with :PORT or without, not \"" + text + "\"";
            return false;
        }
    long number = kDefaultPort;
    if (colon != std::string::npos && !ParseBoundedNumber(text.substr(colon + 1), 1, 65535, number))
    {
        error = "a port is a number from 1 to 65535, not \"" + text.substr(colon + 1) + "\"";
        return false;
    }
    host = name;
    port = (unsigned short)number;
    return true;
}
