#include "download/resume_records.h"

#include <windows.h>

#include "base/codepage.h"
#include "download/resume_validator.h"
#include "base/unique_handle.h"

namespace {

constexpr wchar_t kKey[] = L"Software\\Lanshi\\Downloader\\Partial files";

UniqueRegKey OpenKey(bool create) {
  HKEY key = nullptr;
  LONG status = create ? ::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                                           &key, nullptr)
                       : ::RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ | KEY_WRITE, &key);
  return UniqueRegKey(status == ERROR_SUCCESS ? key : nullptr);
}

// The file's size and last-write time now; nothing when it cannot be read.
std::optional<ResumeRecord> IdentityOf(const Text& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  ResumeRecord identity;
  identity.size = (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  identity.lastWrite =
      (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  return identity;
}

}  // namespace

void RememberValidator(const Text& partialPath, const Text& validator) {
  std::optional<ResumeRecord> record = IdentityOf(partialPath);
  UniqueRegKey key = OpenKey(true);
  if (!record || !key) return;
  record->validator = validator;
  const std::wstring data = Widen(FormatResumeRecord(*record));
  ::RegSetValueExW(key.get(), Widen(partialPath).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

std::optional<Text> ValidatorFor(const Text& partialPath) {
  UniqueRegKey key = OpenKey(false);
  if (!key) return std::nullopt;
  wchar_t data[1024];
  DWORD type = 0, size = sizeof data - sizeof(wchar_t);
  if (::RegQueryValueExW(key.get(), Widen(partialPath).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data),
                         &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return std::nullopt;
  data[size / sizeof(wchar_t)] = L'\0';
  std::optional<ResumeRecord> record = ParseResumeRecord(Narrow(data));
  std::optional<ResumeRecord> now = IdentityOf(partialPath);
  if (!record || !now || record->size != now->size || record->lastWrite != now->lastWrite) return std::nullopt;
  return record->validator;
}

void ForgetValidator(const Text& partialPath) {
  if (UniqueRegKey key = OpenKey(false)) ::RegDeleteValueW(key.get(), Widen(partialPath).c_str());
}
