#ifndef KORVANE_TESTS_SUPPORT_LOOPBACKRELAY_H
#define KORVANE_TESTS_SUPPORT_LOOPBACKRELAY_H

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "net/RelayServer.h"

// A relay on a free loopback port, served in a thread of its own for at most
// two minutes or until the object goes, its log in a temporary file.
class LoopbackRelay
{
  public:
    ~LoopbackRelay()
    {
        stop = true;
        if (thread.joinable())
            thread.join();
        server.reset();
        if (log != nullptr)
            std::fclose(log);
    }

    bool Start(std::string& error)
    {
        log = std::tmpfile();
        RelayConfig config;
        config.address = "127.0.0.1";
        config.port = 0;
        server = std::make_unique<RelayServer>(config, log);
        if (!server->Open(error))
            return false;
        thread = std::thread(
            [this]
            {
                const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(120);
                while (!stop && std::chrono::steady_clock::now() < end)
                    server->Service(2);
            });
        return true;
    }

    unsigned short Port() const { return server->Port(); }

  private:
    std::FILE* log = nullptr;
    std::unique_ptr<RelayServer> server;
    std::thread thread;
    std::atomic<bool> stop{false};
};

#endif
