#include "net/RelayProcess.h"

#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

extern char** environ;

namespace
{

bool IsProgram(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Whether a UDP socket on every address could take the port now.
bool PortFree(unsigned short port)
{
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s < 0)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    const bool free = bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(s);
    return free;
}

} // namespace

std::string RelayProcess::FindServer()
{
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0)
    {
        std::string dir(self, size_t(n));
        dir = dir.substr(0, dir.rfind('/') + 1);
        // Beside the program (the build tree), or beside the korvane command
        // of an installed game (games/ or bin/), whose program lives in
        // libexec/korvane.
        for (const char* relative :
             {"korvane-server", "../../games/korvane-server", "../../bin/korvane-server"})
            if (IsProgram(dir + relative))
                return dir + relative;
    }
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "";
    size_t start = 0;
    while (start <= folders.size())
    {
        const size_t colon = folders.find(':', start);
        const std::string folder =
            folders.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (!folder.empty() && IsProgram(folder + "/korvane-server"))
            return folder + "/korvane-server";
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
    return "";
}

bool RelayProcess::Start(const std::string& server, unsigned short port, const std::string& code,
                         std::string& error, const std::string& address)
{
    if (server.empty() || !IsProgram(server))
    {
        error = "korvane-server is not installed beside the game";
        return false;
    }
    if (!PortFree(port))
    {
        error = "the port " + std::to_string(port) + " is in use on this machine";
        return false;
    }
    const std::string portText = std::to_string(port);
    std::vector<const char*> argv = {server.c_str(), "--port",     portText.c_str(),
                                     "--code",       code.c_str(), "--once"};
    if (!address.empty())
    {
        argv.push_back("--address");
        argv.push_back(address.c_str());
    }
    argv.push_back(nullptr);
    if (posix_spawn(&pid, server.c_str(), nullptr, nullptr, const_cast<char* const*>(argv.data()), environ) !=
        0)
    {
        pid = -1;
        error = "cannot start " + server;
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < deadline)
    {
        if (!Running())
        {
            error = "the relay ended at once (see its message)";
            return false;
        }
        if (!PortFree(port))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Stop();
    error = "the relay did not take the port " + portText;
    return false;
}

bool RelayProcess::Running()
{
    if (pid <= 0)
        return false;
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid)
        pid = -1;
    return pid > 0;
}

void RelayProcess::Stop()
{
    if (!Running())
        return;
    kill(pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (Running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (Running())
    {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
}

std::string MakeGameCode()
{
    static const char kLetters[] = "ABCDEFGHJKLMNPQRSTUVWXYZ23456789";
    std::random_device device;
    std::uniform_int_distribution<int> pick(0, int(sizeof kLetters) - 2);
    std::string code;
    for (int k = 0; k < 6; k++)
        code += kLetters[pick(device)];
    return code;
}
