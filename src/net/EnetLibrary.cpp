#include "net/EnetLibrary.h"

#include <enet/enet.h>

#include <cstdlib>

bool InitEnet(std::string& error)
{
    static int result = []
    {
        const int r = enet_initialize();
        if (r == 0)
            std::atexit(enet_deinitialize);
        return r;
    }();
    if (result != 0)
        error = "cannot initialise ENet";
    return result == 0;
}

bool ResolveAddress(const std::string& host, unsigned short port, ENetAddress& address, std::string& error)
{
    address.host = ENET_HOST_ANY;
    address.port = port;
    if (host.empty())
        return true;
    if (enet_address_set_host(&address, host.c_str()) != 0)
    {
        error = "cannot resolve the address " + host;
        return false;
    }
    return true;
}

std::string AddressText(const ENetAddress& address)
{
    char text[64] = "?";
    enet_address_get_host_ip(&address, text, sizeof text);
    return std::string(text) + ":" + std::to_string(address.port);
}
