#pragma once
// Batch mode: the windows' own handlers in order, without a window. The
// commands are the table of BatchCommands.h.

int RunBatch(int argc, char *argv[]);

// Before the application exists: Qt's own chatter stays off standard error.
void QuietMessageHandler();
// Every message as one line "TITLE: TEXT" on standard error; a file dialog
// without an answer fails with "No file name given.".
void InstallBatchMessages();
