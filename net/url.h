// Web addresses taken apart the one way every fetch of the program does it.
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

// True for an http or https address naming a host. Only those get an answer we can
// store (a status and headers); Wine's asynchronous opener also never completes for
// an address it cannot take apart, so others are refused before it is called.
bool IsHttpAddress(std::string_view address);

// `location` (absolute, or relative to `base`) as a whole address; nothing when the
// two cannot be combined.
std::optional<Text> CombineUrl(std::string_view base, std::string_view location);

// The address without its fragment ("#..."), which names a part of the answer and is
// never sent to the server.
Text WithoutFragment(std::string_view address);

// 301, 302, 303, 307 and 308: the answer names another address for the same request.
bool IsRedirectStatus(int status);
