// Socket-level help for a fetch that must end by a deadline, and for a download that
// Stop abandoned.
//
// Ending a WinINet call that Wine would leave waiting on a server: Wine keeps a
// request's socket open while a call on it is blocked, even after the request's
// handle is closed, and a server sending a byte now and then keeps that call going
// for as long as it likes. Shutting the socket down and cancelling its pending I/O
// (WinINet still owns and closes it) makes the call fail and return.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <string>
#include <vector>

// True under Wine, where a waiting WinINet call must be ended at the socket; on
// Windows closing the handle ends it.
bool RunningUnderWine();

// The sockets open in this process now.
std::vector<SOCKET> OpenSockets();

// Ends (shuts down both ways, pending I/O cancelled) every socket connected to `port`
// that is not in `before`.
// Returns how many.
int ShutDownNewSockets(const std::vector<SOCKET>& before, unsigned short port);

// Ends, as above, every socket connected to `peerAddress` (numeric text, as
// "127.0.0.1") on `port`; an empty address stands for any peer on that port. Returns
// how many.
int ShutDownSocketsTo(const std::string& peerAddress, unsigned short port);

// Looks the host name up as WinINet will: true when it resolves. A lookup cannot be
// ended from outside; doing it first lets a fetch whose lookup outlasted its
// deadline give up before it connects to anything.
bool HostNameResolves(const char* host);
