// The update server the program was built for, alone in its file: a program built
// twice from the same code with a different server (or none) recompiles only this.
#include "commands/update_check.h"

#ifndef LANSHI_UPDATE_SERVER
#define LANSHI_UPDATE_SERVER ""
#endif

Text UpdateServerBase() { return LANSHI_UPDATE_SERVER; }
