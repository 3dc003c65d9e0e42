// The HTTP transfer: fetches one address with WinINet into the partial file, block
// by block, reporting progress after every block. Shows its own error messages.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "download/download_session.h"
#include "net/outcome.h"

// Called after every block with the transfer's session: total, done, elapsed ms, new
// bytes (sizes in 64 bits).
using ProgressCallback = void (*)(DownloadSession& session, int64_t total, int64_t done, int32_t elapsed,
                                  int64_t newBytes);

// Fetches `address` into `partialPath`. With `resume` the server is asked for the bytes
// from `resumeOffset` on and they are written after the bytes already there. Failures
// have been shown to the user when it returns; a stopped transfer shows nothing.
Outcome TransferUrlToFile(const Text& address, const Text& partialPath, ProgressCallback progress,
                          int64_t resumeOffset, bool resume, DownloadSession& session);

// The messages of the transfer's failures.
namespace transfer_messages {
constexpr const char* kInternetError = "Internet连接错误!";
constexpr const char* kCannotOpenUrl = "不能打开该URL!";
constexpr const char* kCannotOpenLocalFile = "不能打开本地的文件!";
constexpr const char* kReadError = "读文件出错!";
constexpr const char* kWriteError = "写文件出错!";
}  // namespace transfer_messages
