// A bounded HTTP GET: the whole body of a small file (such as the version file),
// read within time-outs, a deadline and a size limit.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string_view>

#include "base/text.h"

// Bounds of one HTTP fetch: a silent or hostile server must not hold the caller.
struct HttpLimits {
  DWORD connectTimeoutMs = 5000;
  DWORD receiveTimeoutMs = 5000;  // also used for sending the request
  size_t maxBytes = 64 * 1024;
  // The body is read only while this much time has not passed since the request
  // went out: a server trickling bytes cannot hold the caller for long either.
  DWORD bodyDeadlineMs = 10000;
};

// The body of an HTTP GET, as far as it could be read within the limits; empty when
// the address cannot be split or the server cannot be reached. The status code is
// not examined: an error page is a body like any other.
ByteBuffer HttpGetWhole(std::string_view address, const HttpLimits& limits = HttpLimits());

// Size of each read: the announced length plus one, at most 102400; 10240 when the
// length is missing or not positive.
size_t ReadPieceSize(std::optional<long long> contentLength);
