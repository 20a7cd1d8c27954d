#include "app/NetChoice.h"

#include <cstdlib>

#include "net/Message.h"

std::string DefaultPlayerName()
{
    const char* login = std::getenv("USER");
    if (login != nullptr && IsValidName(login))
    {
        return login;
    }
    return "Player";
}

std::string RelayText(const std::string& address, unsigned short port)
{
    return address + ":" + std::to_string(port);
}
