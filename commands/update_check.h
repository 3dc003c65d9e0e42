// The server's version, fetched at start-up, and the menu item 在线更新.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string_view>

#include "base/components.h"
#include "base/text.h"

// Base address of the update server ("http://host[:port]", no trailing slash).
Text UpdateServerBase();

// Reads the version file into 服务器版本. Never blocks start-up for long and shows
// no message when the server cannot be reached.
void FetchServerVersion(Components& window);

// Compares 本地版本 with 服务器版本 and offers the update page when the server's is newer.
void OnOnlineUpdateSelected(Components& window);

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

// The body as text: everything before the first zero byte. Nothing is trimmed.
Text VersionTextOf(const ByteBuffer& body);

// Byte-wise, unsigned; a prefix sorts first. Returns -1, 0 or 1.
int CompareVersions(std::string_view a, std::string_view b);

// The question asked when the server has a newer version.
Text UpdateQuestionText(std::string_view local, std::string_view server);

// Hands the address to the shell's "open" verb; failures are not reported.
void OpenWebPage(std::string_view address);
