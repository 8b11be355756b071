#pragma once
// The batch commands verify and download-changes, and `kavix --diff A B`.

// kavix --diff A B: the differences of two configuration files, one line
// each on standard output; status 0 the same, 1 different, 2 trouble.
int RunDiff(int argc, char *argv[]);
