#include "net/ServerOptions.h"

#include "net/Message.h"

const char* const kServerUsage =
    "usage: korvane-server [--address A] [--port P] [--code CODE] [--timeout S] [--once]\n"
    "  --address A  the address to listen on (default: every address of this machine)\n"
    "  --port P     the UDP port, 1 to 65535 (default 24250)\n"
    "  --code CODE  only a game with this code may be opened (6 to 16 capitals and digits)\n"
    "  --timeout S  seconds of silence before a player is timed out, 1 to 3600 (default 60)\n"
    "  --once       serve one game: exit when it is over and everyone has left, when its host\n"
    "               leaves before it begins, or after 10 minutes with nobody connected\n";

bool ParseBoundedNumber(const std::string& text, long low, long high, long& value)
{
    if (text.empty() || text.size() > 10)
        return false;
    long number = 0;
    for (char c : text)
    {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
    }
    if (number < low || number > high)
        return false;
    value = number;
    return true;
}

bool ParseServerOptions(int argc, const char* const argv[], ServerOptions& options, std::string& error)
{
    for (int k = 1; k < argc; k++)
    {
        const std::string option = argv[k];
        if (option == "--help" || option == "-h")
        {
            options.help = true;
            continue;
        }
        if (option == "--once")
        {
            options.once = true;
            continue;
        }
        if (option != "--address" && option != "--port" && option != "--code" && option != "--timeout")
        {
            error = "unknown option " + option;
            return false;
        }
        if (k + 1 >= argc)
        {
            error = option + " needs a value";
            return false;
        }
        const std::string value = argv[++k];
        long number = 0;
        if (option == "--address")
        {
            if (value.empty() || value.size() > 253)
            {
                error = "--address needs an address";
                return false;
            }
            options.relay.address = value;
        }
        else if (option == "--port")
        {
            if (!ParseBoundedNumber(value, 1, 65535, number))
            {
                error = "--port must be a number from 1 to 65535, not " + value;
                return false;
            }
            options.relay.port = (unsigned short)number;
        }
        else if (option == "--code")
        {
            if (!IsValidCode(value))
            {
                error = "--code must be 6 to 16 capital letters and digits, not " + value;
                return false;
            }
            options.relay.code = value;
        }
        else
        {
            if (!ParseBoundedNumber(value, 1, 3600, number))
            {
                error = "--timeout must be a number of seconds from 1 to 3600, not " + value;
                return false;
            }
            options.relay.timeoutSeconds = double(number);
        }
    }
    return true;
}
