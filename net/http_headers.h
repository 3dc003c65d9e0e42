// Reading an opened request's answer: the one status reader and header reader of
// both fetches.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <optional>
#include <vector>

#include "base/text.h"

// The answer's status code, 0 when unknown.
int StatusCode(HINTERNET request);

// A header of the answer as text; nothing when absent. `index` picks among
// repeated headers of the same name.
std::optional<Text> HeaderValue(HINTERNET request, DWORD query, DWORD index = 0);

// Every value of a header that may come more than once (at most 64: a hostile
// answer may repeat a header without end).
std::vector<Text> HeaderValues(HINTERNET request, DWORD query);
