// The request the transfer sends and what it makes of the server's answer.
// Pure functions: the WinINet code feeds them the status and header values.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "base/text.h"

// The request headers; a resumed download adds an open-ended Range line from
// `rangeStart`. There is no Accept-Encoding line: bytes are stored as received, so a
// compressed answer would leave a compressed stream under the file's name.
// "Connection: close": one transfer at a time gains nothing from a kept connection, and
// a connection that is never used again cannot hand what one answer left on it to the
// next request (the transfer also drops it itself where WinINet keeps it anyway).
// With `ifRange` (the validator of the partial file's first answer) the range is asked
// only of that version: a changed file comes whole.
Text RequestHeaderBlock(bool resume, int64_t rangeStart, const std::optional<Text>& ifRange = std::nullopt);

// How far before the end of a partial file a resume without a strong validator asks
// from: those bytes must come back equal to the ones on disk before any is appended.
constexpr int64_t kResumeOverlap = 64 * 1024;

// Where the range of a resume starts: at the end of the partial file when a strong
// validator proves the version, else up to kResumeOverlap before it.
int64_t RangeStartFor(int64_t resumeOffset, bool strongValidator);

// "bytes 100-199/1000", "bytes 100-199/*" or "bytes */1000".
struct ContentRange {
  int64_t first = -1;     // -1 for "*" (an unsatisfied range)
  int64_t last = -1;
  int64_t complete = -1;  // the whole file's size; -1 when "*"
};
std::optional<ContentRange> ParseContentRange(std::string_view value);

// A decimal header value such as Content-Length: digits only (no sign), within 64
// bits; nothing when it is not one.
std::optional<int64_t> ParseLength(std::string_view value);

struct ServerAnswer {
  int status = 0;
  // False when no HTTP status line came (another service answered, or a kept
  // connection held what an earlier answer left): WinINet makes up a "200 OK".
  bool statusLine = true;
  // Transfer-Encoding: chunked. Its framing decides where the body ends; a
  // Content-Length beside it says nothing.
  bool chunked = false;
  // Another transfer coding, which WinINet does not undo: the body's end is unknown.
  bool unknownCoding = false;
  std::optional<int64_t> contentLength;
  // A Content-Length that is not one plain decimal number (or two that disagree): the
  // body's end cannot be known, so nothing of it can be trusted.
  bool badLength = false;
  std::optional<ContentRange> contentRange;
};

// Fills contentLength and badLength from every Content-Length value the answer carries.
void ReadContentLengths(ServerAnswer& answer, const std::vector<Text>& values);

// Fills chunked and unknownCoding from every Transfer-Encoding value.
void ReadTransferCodings(ServerAnswer& answer, const std::vector<Text>& values);

// The answer's raw head as WinINet gives it (status line, then one header per line):
// true when it starts with an HTTP/1.x status line and carries at least one header.
// (WinINet makes up "HTTP/1.0 200 OK" with no header at all when no status line came.)
bool HeadHasStatusLine(std::string_view rawHead);

// What to do with the body of an answer.
enum class BodyAction {
  Refuse,             // not a body worth storing (or not framed): "不能打开该URL!", partial file untouched
  WriteWhole,         // a whole file: empty the partial file and write from byte 0
  AppendAtOffset,     // the rest of the file from the resume offset on
  AskAgainWithoutRange,
  AlreadyComplete,    // the partial file already holds the whole file
};

struct BodyPlan {
  BodyAction action = BodyAction::Refuse;
  int64_t total = 0;         // the whole file's size for the progress report; 0 when unknown
  int64_t expectedEnd = -1;  // file size the body must reach; -1 when the server did not say
};

// resume: the request carried "Range:bytes=<rangeStart>-"; partialSize is the size of
// the partial file when the request was made. A fresh request takes only a 200; a 206
// must start at rangeStart and run to the end of the file whose complete length it
// names (its Content-Length, when framed by one, the span exactly).
BodyPlan PlanBody(const ServerAnswer& answer, bool resume, int64_t rangeStart, int64_t partialSize);
