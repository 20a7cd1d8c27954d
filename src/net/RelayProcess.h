#ifndef KORVANE_NET_RELAYPROCESS_H
#define KORVANE_NET_RELAYPROCESS_H

#include <string>
#include <sys/types.h>

// The relay that a hosting game starts in the background: korvane-server as
// a child process that serves this one game (--once). A process rather than
// a thread, so that the relay outlives a host who leaves mid-game (the
// others play on, and the host may come back); it ends by itself when the
// game is over and everyone has left. Its log goes to this program's
// standard error.
class RelayProcess
{
  public:
    RelayProcess() : pid(-1) {}

    // korvane-server beside the running program, else the one on PATH;
    // empty when there is none.
    static std::string FindServer();

    // Starts it on the address (empty: every address of this machine), the
    // port and the code, and waits (at most 3 seconds) until the port is
    // taken. False with a reason when it cannot start or ends at once (the
    // port is in use).
    bool Start(const std::string& server, unsigned short port, const std::string& code, std::string& error,
               const std::string& address = std::string());
    // Whether it still runs (reaps it once it has ended).
    bool Running();
    // Ends it (SIGTERM; waits at most 2 seconds, then SIGKILL).
    void Stop();
    pid_t Pid() const { return pid; }

  private:
    pid_t pid;
};

// A game code for a host to show: 6 characters from capitals and digits
// that cannot be read one for another (no I, O, 0 or 1).
std::string MakeGameCode();

#endif
