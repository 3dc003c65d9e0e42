// Where the validators of partial files are kept: one value per partial file under the
// program's own key, HKCU\Software\Lanshi\Downloader\Partial files, named after the
// partial file's path. Nothing is written beside the user's files.
#pragma once

#include <optional>

#include "base/text.h"

// Keeps `validator` for the partial file as it is now (its size and last-write time).
void RememberValidator(const Text& partialPath, const Text& validator);

// What is kept for a partial file.
struct KeptValidator {
  enum class State {
    None,        // nothing kept, or kept for a file replaced or edited since
    Found,       // the validator of the answer that started the file as it is now
    Unreadable,  // a value is there but cannot be read: garbled, too long, another type
  };
  State state = State::None;
  Text validator;
};
KeptValidator ValidatorFor(const Text& partialPath);

// Drops what is kept for the partial file (published, started over, or gone).
void ForgetValidator(const Text& partialPath);

// Drops the values of partial files deleted since (by hand, say), looking at no more
// than `maxChecks` of them, from a place that moves on each call. A file whose folder
// or drive cannot be reached now is kept: it may come back.
void PruneStaleValidators(int maxChecks = 64);
