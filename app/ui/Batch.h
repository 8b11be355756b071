#pragma once
// Batch mode: the menu handlers in order, without a window.

int RunBatch(int argc, char *argv[]);
