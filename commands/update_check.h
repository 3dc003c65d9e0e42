// The server's version, fetched at start-up, and the menu item 在线更新.
#pragma once

#include <string_view>

#include "base/components.h"
#include "base/text.h"
#include "net/http_get.h"

// Base address of the update server ("http://host[:port]", no trailing slash), set
// when the program is built; empty when it was built without one, and then the
// program asks no server anything.
Text UpdateServerBase();

// Whether start-up asks the update server for its version (a build without one asks
// nobody).
bool AsksUpdateServer();

// Reads the version file into 服务器版本. Never blocks start-up for long and shows
// no message when the server cannot be reached.
void FetchServerVersion(Components& window);

// Compares 本地版本 with 服务器版本 and offers the update page when the server's is newer.
void OnOnlineUpdateSelected(Components& window);

// The body as text: everything before the first zero byte. Nothing is trimmed.
Text VersionTextOf(const ByteBuffer& body);

// Whether a text is a version: one short line of printable text, at most
// kMaxVersionLength letters, digits, '.', '-', '_' and spaces (not only spaces), as
// "V1.0" is, with at most one line break (CR LF or LF) at its end.
constexpr size_t kMaxVersionLength = 32;
bool IsVersionText(std::string_view text);

// The server's version in an answer: only a 200 answer whose body is a version
// (after it nothing but zero bytes) carries one. An error page, a body that is no
// version, a redirect left over or no answer at all count as an unreachable server
// (empty).
Text ServerVersionOf(const HttpAnswer& answer);

// Byte-wise, unsigned; a prefix sorts first. Returns -1, 0 or 1.
int CompareVersions(std::string_view a, std::string_view b);

// The question asked when the server has a newer version.
Text UpdateQuestionText(std::string_view local, std::string_view server);

// Hands the address to the shell's "open" verb; failures are not reported.
void OpenWebPage(std::string_view address);
