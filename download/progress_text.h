// What the user sees while bytes arrive: the lines of the status label and the
// position of the progress bar, computed from one progress report. Pure functions.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/text.h"

// One report of the transfer, as the progress callback receives it.
// Sizes are 64-bit: files past 2 GiB show their true figures.
struct ProgressReport {
  int64_t total;     // the whole file's size; 0 when the server did not say it
  int64_t done;      // bytes in the partial file so far, resume offset included
  int32_t elapsed;   // ms since the transfer started; never 0
  int64_t newBytes;  // bytes received by this transfer
};

// Two decimals, halves away from zero (a product within 1e-12 of a half counts as a half).
double RoundToHundredths(double value);

// A number as printf's "%.13g" writes it: 1.5, 12, -0, 976.56.
Text NumberText(double value);

// The part of the address after its last "/"; the whole address when it has none.
Text NameAfterLastSlash(std::string_view address);

// Speed in KB/s over the new bytes, rounded to hundredths.
double SpeedKbPerSecond(const ProgressReport& report);

// The five or six lines of the status label for one report.
Text ProgressStatusText(std::string_view address, const ProgressReport& report);

// Position of the progress bar in 0..10000; 0 while no length is known.
int ProgressBarPosition(const ProgressReport& report);
