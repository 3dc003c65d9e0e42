// Socket-level help for a fetch that must end by a deadline, and for a download that
// Stop abandoned.
//
// Ending a WinINet call that Wine would leave waiting on a server: Wine keeps a
// request's socket open while a call on it is blocked, even after the request's
// handle is closed, and a server sending a byte now and then keeps that call going
// for as long as it likes. Shutting the socket down and cancelling its pending I/O
// (WinINet still owns and closes it) makes the call fail and return. Windows ends the
// call when its handle is closed, so there none of this is done.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <string>
#include <vector>

// True under Wine.
bool RunningUnderWine();

// The sockets a call's connection may be using: those connected to `port`, to `peer`
// (numeric text, as "127.0.0.1") unless it is empty, and not in `spare`.
struct ConnectionSockets {
  unsigned short port = 0;
  std::string peer;
  std::vector<SOCKET> spare;
};

// The sockets open in this process now, to be spared later; none on Windows,
// where no socket is ever shut down.
std::vector<SOCKET> SocketsToSpare();

// Ends the connection of a WinINet call whose handles were closed: under Wine, shuts
// its sockets down both ways and cancels their pending I/O, so a call still waiting on
// it returns and a kept-alive connection is never used again. Returns how many.
int EndConnection(const ConnectionSockets& sockets);

// The server's address from a CONNECTED_TO_SERVER notice as Wine gives it (numeric
// text); empty on Windows, whose notice holds a SOCKADDR.
std::string PeerOfConnectedNotice(const void* info, DWORD length);

// Looks the host name up as WinINet will: true when it resolves. A lookup cannot be
// ended from outside; doing it first lets a fetch whose lookup outlasted its
// deadline give up before it connects to anything.
bool HostNameResolves(const char* host);
