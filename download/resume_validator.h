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

// The validator If-Range can carry: the ETag when it is strong (a weak one cannot
// stand for a byte range), else the Last-Modified date; nothing when neither is there.
std::optional<Text> ValidatorOf(const std::optional<Text>& etag, const std::optional<Text>& lastModified);

// False when a 206 answer to a request with If-Range shows the server did not honour
// it: the answer carries a validator of the same kind (ETag, or Last-Modified) with
// another value, so the range it sends belongs to another version of the file.
bool AnswerKeepsValidator(const Text& sent, const std::optional<Text>& etag, const std::optional<Text>& lastModified);

// "<size> <last write> <validator>", and back; nothing for a text that is not one.
Text FormatResumeRecord(const ResumeRecord& record);
std::optional<ResumeRecord> ParseResumeRecord(std::string_view text);
