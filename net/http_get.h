// A bounded HTTP GET: the whole body of a small file (such as the version file),
// read within one deadline for the whole fetch and size limits, with redirects
// followed by hand.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string_view>

#include "base/text.h"

// Bounds of one HTTP fetch: no server, however hostile, holds the caller longer
// than the deadline.
struct HttpLimits {
  DWORD connectTimeoutMs = 5000;
  DWORD receiveTimeoutMs = 5000;  // also used for sending the request
  size_t maxBytes = 64 * 1024;    // body
  size_t maxHeaderBytes = 16 * 1024;
  int maxRedirects = 5;
  // The whole fetch, from its first call to its last, whatever the server does:
  // connecting, redirects, header bytes and body bytes.
  DWORD deadlineMs = 8000;
};

struct HttpAnswer {
  int status = 0;  // the final answer's status; 0 when no answer came
  ByteBuffer body;
};

// An HTTP GET with the redirects followed by hand, within the limits. The body is
// kept as far as it could be read (up to a failed read). An address that cannot be
// split, a server that cannot be reached, headers too long or the deadline passing
// before the answer was read give no answer (status 0); a redirect past the last
// one followed is returned as it is, with its status and no body.
HttpAnswer HttpGetWhole(std::string_view address, const HttpLimits& limits = HttpLimits());

// Size of each read: the announced length plus one, at most 102400; 10240 when the
// length is missing or not positive.
size_t ReadPieceSize(std::optional<long long> contentLength);

