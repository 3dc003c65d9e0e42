#include "uiengine/core/cache_file.h"

#include <windows.h>

#include "base/codepage.h"
#include "base/unique_handle.h"

std::optional<ByteBuffer> ReadFileUpTo(const Text& path, std::uint64_t maxBytes) {
  UniqueFile file(::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER length;
  if (!file || !::GetFileSizeEx(file.get(), &length) || length.QuadPart < 0 ||
      static_cast<std::uint64_t>(length.QuadPart) > maxBytes)
    return std::nullopt;
  ByteBuffer bytes(static_cast<size_t>(length.QuadPart));
  size_t read = 0;
  while (read < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(bytes.size() - read > 0x100000 ? 0x100000 : bytes.size() - read);
    DWORD got = 0;
    if (!::ReadFile(file.get(), bytes.data() + read, chunk, &got, nullptr) || got == 0) return std::nullopt;
    read += got;
  }
  return bytes;
}

bool ReplaceFileWith(const Text& path, std::string_view bytes) {
  const std::wstring target = Widen(path);
  const std::wstring fresh = target + L".new";
  bool complete = false;
  {
    UniqueFile file(::CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    if (!file) return false;
    DWORD written = 0;
    complete = ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size();
  }
  if (complete && ::MoveFileExW(fresh.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  ::DeleteFileW(fresh.c_str());
  return false;
}
