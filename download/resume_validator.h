// What lets a resumed download prove that it continues the same version of a file:
// the validator of the answer that started the partial file, kept together with the
// partial file's identity at the moment it was last extended. Pure functions.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "base/text.h"

struct ResumeRecord {
  Text validator;          // a strong ETag ("\"v2\"") or a Last-Modified date, as the server sent it
  int64_t size = 0;        // the partial file's size when it was last extended
  uint64_t lastWrite = 0;  // and its last-write time (a FILETIME as one number)
};

// Validators longer than this are not kept: such a tag is taken as no tag at all
// (the date, or the overlap check, stands in for it).
constexpr size_t kMaxValidatorLength = 8192;

// The validator If-Range can carry: the ETag when it is strong (a weak one cannot
// stand for a byte range), else the Last-Modified date; nothing when neither is there.
std::optional<Text> ValidatorOf(const std::optional<Text>& etag, const std::optional<Text>& lastModified);

// A strong ETag (a date is not strong enough to skip the overlap check).
bool IsStrongTag(std::string_view validator);

// True only when a 206 answer to a request with If-Range carries the very validator
// that was sent (the ETag for a tag, Last-Modified for a date): one that carries none,
// or another, may be a piece of another version of the file.
bool AnswerKeepsValidator(const Text& sent, const std::optional<Text>& etag, const std::optional<Text>& lastModified);

// "<size> <last write> <validator>", and back; nothing for a text that is not one
// (a validator past kMaxValidatorLength included).
Text FormatResumeRecord(const ResumeRecord& record);
std::optional<ResumeRecord> ParseResumeRecord(std::string_view text);
