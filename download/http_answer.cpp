#include "download/http_answer.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace {

constexpr std::string_view kFixedHeaders =
    "Accept: */*\r\n"
    "Accept-Language: zh-cn\r\n"
    "User-Agent: Mozilla/4.0(compatible; MSIE 6.0; Windows NT 5.0; MyIE2; .NET CLR 1.1.4322)\r\n"
    "Connection: close";

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// "*" gives -1; nothing when the text is neither "*" nor digits.
std::optional<int64_t> ParseNumberOrStar(std::string_view s) {
  s = TrimBlanks(s);
  if (s == "*") return -1;
  return ParseLength(s);
}

bool IsSuccess(int status) { return status >= 200 && status <= 299; }

// The body's length as its framing gives it; nothing when it runs to the close.
std::optional<int64_t> FramedLength(const ServerAnswer& answer) {
  return answer.chunked ? std::nullopt : answer.contentLength;
}

BodyPlan WholeBody(const ServerAnswer& answer) {
  BodyPlan plan{BodyAction::WriteWhole, 0, -1};
  if (auto length = FramedLength(answer)) plan.total = plan.expectedEnd = *length;
  return plan;
}

bool StartsWithNoCase(std::string_view text, std::string_view start) {
  if (text.size() < start.size()) return false;
  for (size_t i = 0; i < start.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != start[i]) return false;
  return true;
}

}  // namespace

Text RequestHeaderBlock(bool resume, int64_t rangeStart, const std::optional<Text>& ifRange) {
  Text block(kFixedHeaders);
  if (resume) block += "\r\nRange:bytes=" + std::to_string(rangeStart) + "-";
  if (resume && ifRange) block += "\r\nIf-Range: " + *ifRange;
  return block;
}

std::optional<int64_t> ParseLength(std::string_view value) {
  value = TrimBlanks(value);
  if (value.empty()) return std::nullopt;
  constexpr int64_t kMax = INT64_MAX;
  int64_t n = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return std::nullopt;
    if (n > (kMax - (c - '0')) / 10) return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

void ReadContentLengths(ServerAnswer& answer, const std::vector<Text>& values) {
  answer.contentLength.reset();
  answer.badLength = false;
  for (const Text& value : values) {
    std::optional<int64_t> length = ParseLength(value);
    if (!length || (answer.contentLength && *answer.contentLength != *length)) {
      answer.contentLength.reset();
      answer.badLength = true;
      return;
    }
    answer.contentLength = length;
  }
}

int64_t RangeStartFor(int64_t resumeOffset, bool strongValidator) {
  return strongValidator ? resumeOffset : std::max<int64_t>(0, resumeOffset - kResumeOverlap);
}

void ReadTransferCodings(ServerAnswer& answer, const std::vector<Text>& values) {
  answer.chunked = answer.unknownCoding = false;
  std::vector<std::string_view> codings;
  for (const Text& value : values) {
    std::string_view rest = value;
    for (;;) {
      size_t comma = rest.find(',');
      std::string_view coding = TrimBlanks(rest.substr(0, comma));
      if (!coding.empty()) codings.push_back(coding);
      if (comma == std::string_view::npos) break;
      rest.remove_prefix(comma + 1);
    }
  }
  if (codings.empty()) return;
  // WinINet undoes exactly one coding, a lone "chunked"; a body in any other coding
  // (or in chunked under another) would be stored with its framing.
  if (codings.size() == 1 && codings[0].size() == 7 && StartsWithNoCase(codings[0], "chunked"))
    answer.chunked = true;
  else
    answer.unknownCoding = true;
}

bool HeadHasStatusLine(std::string_view rawHead) {
  size_t end = rawHead.find("\r\n");
  std::string_view statusLine = rawHead.substr(0, end);
  if (!StartsWithNoCase(statusLine, "http/1.0 ") && !StartsWithNoCase(statusLine, "http/1.1 ")) return false;
  if (end == std::string_view::npos) return false;
  std::string_view fields = rawHead.substr(end + 2);
  return fields.find(':') != std::string_view::npos;
}

std::optional<ContentRange> ParseContentRange(std::string_view value) {
  value = TrimBlanks(value);
  constexpr std::string_view kUnit = "bytes";
  if (value.size() <= kUnit.size()) return std::nullopt;
  for (size_t i = 0; i < kUnit.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(value[i])) != kUnit[i]) return std::nullopt;
  value.remove_prefix(kUnit.size());
  if (value.front() != ' ' && value.front() != '\t') return std::nullopt;
  size_t slash = value.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  auto complete = ParseNumberOrStar(value.substr(slash + 1));
  std::string_view span = TrimBlanks(value.substr(0, slash));
  if (!complete) return std::nullopt;

  ContentRange range;
  range.complete = *complete;
  if (span == "*") {
    if (range.complete < 0) return std::nullopt;  // "*/*" says nothing
    return range;
  }
  size_t dash = span.find('-');
  if (dash == std::string_view::npos) return std::nullopt;
  auto first = ParseLength(span.substr(0, dash));
  auto last = ParseLength(span.substr(dash + 1));
  if (!first || !last || *last < *first) return std::nullopt;
  if (range.complete >= 0 && *last >= range.complete) return std::nullopt;
  range.first = *first;
  range.last = *last;
  return range;
}

BodyPlan PlanBody(const ServerAnswer& answer, bool resume, int64_t rangeStart, int64_t partialSize) {
  if (!answer.statusLine || answer.unknownCoding) return BodyPlan{};
  if (answer.badLength && !answer.chunked) return BodyPlan{};
  // Only a 200 is the whole file; a 206 nobody asked for is a piece of it.
  if (!resume) return answer.status == 200 ? WholeBody(answer) : BodyPlan{};

  switch (answer.status) {
    case 200:  // the server ignored the range and sends the whole file
      return WholeBody(answer);
    case 206: {
      const auto& range = answer.contentRange;
      if (!range || range->first != rangeStart) return BodyPlan{BodyAction::AskAgainWithoutRange};
      // The piece must reach the end of a file of a known length: a shorter span, or
      // none, would publish a file cut short.
      if (range->complete < 0 || range->last + 1 != range->complete) return BodyPlan{};
      const auto length = FramedLength(answer);
      if (length && *length != range->last - range->first + 1) return BodyPlan{};
      return BodyPlan{BodyAction::AppendAtOffset, range->complete, range->complete};
    }
    case 416: {
      const auto& range = answer.contentRange;
      if (range && range->first < 0 && range->complete == partialSize)
        return BodyPlan{BodyAction::AlreadyComplete, partialSize, partialSize};
      return BodyPlan{BodyAction::AskAgainWithoutRange};
    }
    default:
      // Any other success code is no answer to a range request: ask for the whole file.
      return IsSuccess(answer.status) ? BodyPlan{BodyAction::AskAgainWithoutRange} : BodyPlan{};
  }
}
