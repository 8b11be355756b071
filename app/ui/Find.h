#pragma once
// kavix --find [PORT]...: where does a module answer? Tries every serial
// port of the system (or the ports given) and prints one line per port
// where a module answers: the port and the model.

int RunFind(int argc, char *argv[]);
