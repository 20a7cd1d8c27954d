#ifndef KORVANE_APP_FATALERROR_H
#define KORVANE_APP_FATALERROR_H

#include <string>

// Ends the program: closes the display, writes the message and a newline to
// standard error, waits for a key on the console and exits with the fatal
// exit status (0 unless the program set another). Without a console (standard
// input not a terminal, or at end of file) it exits at once instead of waiting.
[[noreturn]] void FatalError(const char* message);
[[noreturn]] void FatalError(const std::string& message);

// The status FatalError exits with. The game keeps 0; a tool that scripts run
// sets a non-zero status so that they see it fail.
void SetFatalExitStatus(int status);

// Returns when no OpenGL error is pending; otherwise ends the program with the
// label followed at once by the GLU text of the one error read.
void CheckGLError(const char* label);

#endif
