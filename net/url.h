// Web addresses taken apart, checked and combined the one way every fetch of the
// program does it.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <optional>
#include <string_view>

#include "base/text.h"

struct UrlParts {
  INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
  Text host, user, password;
  INTERNET_PORT port = 0;
  Text object;  // path and extra part ("?..."), "/" when both are empty
};

// The parts of an absolute address naming a host; nothing when WinINet cannot take
// it apart or it names no host.
std::optional<UrlParts> SplitUrl(std::string_view address);

// The parts of an http or https address naming a host; nothing for any other. Only
// those get an answer we can use (a status and headers); Wine's asynchronous opener
// also never completes for an address it cannot take apart, so others are refused
// before any WinINet call.
std::optional<UrlParts> SplitHttpUrl(std::string_view address);
bool IsHttpAddress(std::string_view address);

// The address without its fragment ("#..."): a fragment names a place inside the
// answer and is never sent to the server.
Text WithoutFragment(std::string_view address);

// `reference` (absolute, or relative to `base`) as a whole address, resolved as
// browsers resolve a link or a Location header: dot segments removed, the
// reference's query kept, both fragments dropped. Nothing when `base` has no scheme.
std::optional<Text> ResolveReference(std::string_view base, std::string_view reference);

// 301, 302, 303, 307 and 308: the answer names another address for the same request.
bool IsRedirectStatus(int status);
