// Where the validators of partial files are kept: one value per partial file under the
// program's own key, HKCU\Software\Lanshi\Downloader\Partial files, named after the
// partial file's path. Nothing is written beside the user's files.
#pragma once

#include <optional>

#include "base/text.h"

// Keeps `validator` for the partial file as it is now (its size and last-write time).
void RememberValidator(const Text& partialPath, const Text& validator);

// The validator kept for the partial file, when the file is still the one it was kept
// with (same size, same last-write time); nothing for a file replaced or edited since.
std::optional<Text> ValidatorFor(const Text& partialPath);

// Drops what is kept for the partial file (published, started over, or gone).
void ForgetValidator(const Text& partialPath);
