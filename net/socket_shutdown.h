// Ends this process's TCP connections to one server from outside the code that owns
// them. Each matching socket is shut down, never closed: its handle stays with its
// owner, which closes it in its own time, while a receive waiting on it returns at once.
#pragma once

#include <string>

// Shuts down every connected TCP socket of this process whose peer is `peerAddress`
// (numeric, as "127.0.0.1") on `port`; an empty address matches any peer on that
// port. Returns how many were shut down.
int ShutDownConnectionsTo(const std::string& peerAddress, unsigned short port);
