// A machine that sends garbage: connects to a relay and sends random bytes
// as messages until the relay drops it. Exits 0 when it was dropped, 1 when
// the relay kept it for 10 seconds, 2 when it could not connect.
//
//   net_noise_client ADDRESS PORT SEED
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "net/RelayClient.h"

int main(int argc, char* argv[])
{
    if (argc != 4)
    {
        std::fprintf(stderr, "usage: net_noise_client ADDRESS PORT SEED\n");
        return 2;
    }
    RelayClient client;
    std::string error;
    if (!client.Connect(argv[1], (unsigned short)std::atoi(argv[2]), 5000, 60.0, error))
    {
        std::fprintf(stderr, "net_noise_client: %s\n", error.c_str());
        return 2;
    }
    std::mt19937 random(unsigned(std::strtoul(argv[3], nullptr, 10)));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (int sent = 0; sent < 100 && client.IsConnected() && std::chrono::steady_clock::now() < deadline;
         sent++)
    {
        std::vector<uint8_t> bytes(1 + random() % 2000);
        for (uint8_t& b : bytes)
            b = uint8_t(random());
        client.SendBytes(bytes);
        client.Poll(100);
    }
    while (client.IsConnected() && std::chrono::steady_clock::now() < deadline)
        client.Poll(100);
    if (client.IsConnected())
    {
        std::fprintf(stderr, "net_noise_client: the relay kept this connection\n");
        return 1;
    }
    std::fprintf(stderr, "net_noise_client: dropped by the relay (%s)\n", client.Error().c_str());
    return 0;
}
