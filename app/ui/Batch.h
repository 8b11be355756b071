#pragma once
// Batch mode: the windows' own handlers in order, without a window. The
// commands are the table of BatchCommands.h.

int RunBatch(int argc, char *argv[]);
