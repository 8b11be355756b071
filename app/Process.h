#pragma once
// What the program sets up about its own process: its standard streams,
// and SIGINT and SIGTERM turned into an orderly stop.

#include <functional>

namespace Process {

// First thing in main: standard input, output or error that is closed is
// opened on /dev/null, so that no port or file opened later takes its
// number and receives the program's messages; a write past the file-size
// limit fails and is reported instead of ending the program mid-row.
void prepare();

// The signal handler only writes a byte; the program learns of it in its
// event loop, so the exchange in progress ends as usual and no new one
// starts.

// Installs the handlers (once); `onSignal` runs in the event loop with the
// signal's number, also inside a nested wait.
void install(std::function<void(int signal)> onSignal);

// The signal that asked the program to stop, or 0. While it is set no new
// exchange goes out and no more messages are shown.
int received();
void setReceived(int signal);

}  // namespace Process
