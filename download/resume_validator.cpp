#include "download/resume_validator.h"

#include <cstdlib>

namespace {

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Digits up to the next blank; the rest of the text after that blank.
std::optional<uint64_t> TakeNumber(std::string_view& text) {
  size_t blank = text.find(' ');
  if (blank == 0 || blank == std::string_view::npos) return std::nullopt;
  uint64_t n = 0;
  for (char c : text.substr(0, blank)) {
    if (c < '0' || c > '9' || n > (UINT64_MAX - 9) / 10) return std::nullopt;
    n = n * 10 + (c - '0');
  }
  text.remove_prefix(blank + 1);
  return n;
}

}  // namespace

std::optional<Text> ValidatorOf(const std::optional<Text>& etag, const std::optional<Text>& lastModified) {
  if (etag) {
    std::string_view tag = Trimmed(*etag);
    // Strong: a quoted tag without the "W/" of a weak one.
    if (tag.size() >= 2 && tag.size() <= kMaxValidatorLength && IsStrongTag(tag)) return Text(tag);
  }
  if (lastModified) {
    std::string_view date = Trimmed(*lastModified);
    if (!date.empty() && date.size() <= kMaxValidatorLength) return Text(date);
  }
  return std::nullopt;
}

bool IsStrongTag(std::string_view validator) {
  return validator.size() >= 2 && validator.front() == '"' && validator.back() == '"';
}

bool AnswerKeepsValidator(const Text& sent, const std::optional<Text>& etag, const std::optional<Text>& lastModified) {
  const std::optional<Text>& same = IsStrongTag(sent) ? etag : lastModified;
  return same && Trimmed(*same) == sent;
}

Text FormatResumeRecord(const ResumeRecord& record) {
  return std::to_string(record.size) + " " + std::to_string(record.lastWrite) + " " + record.validator;
}

std::optional<ResumeRecord> ParseResumeRecord(std::string_view text) {
  ResumeRecord record;
  auto size = TakeNumber(text);
  auto lastWrite = TakeNumber(text);
  if (!size || !lastWrite || text.empty() || text.size() > kMaxValidatorLength ||
      *size > static_cast<uint64_t>(INT64_MAX))
    return std::nullopt;
  record.size = static_cast<int64_t>(*size);
  record.lastWrite = *lastWrite;
  record.validator = Text(text);
  return record;
}
