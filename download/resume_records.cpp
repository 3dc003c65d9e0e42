#include "download/resume_records.h"

#include <windows.h>

#include <vector>

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

KeptValidator ValidatorFor(const Text& partialPath) {
  using State = KeptValidator::State;
  UniqueRegKey key = OpenKey(false);
  if (!key) return {};
  const std::wstring name = Widen(partialPath);
  DWORD type = 0, size = 0;
  LONG status = ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
  if (status == ERROR_FILE_NOT_FOUND) return {};
  // Room for the longest record written (two numbers and a validator at its cap), in
  // UTF-16; anything longer, of another type or unreadable was not written by us as it is.
  constexpr DWORD kMaxBytes = (2 * 21 + kMaxValidatorLength) * 2 * sizeof(wchar_t);
  if (status != ERROR_SUCCESS || type != REG_SZ || size > kMaxBytes) return {State::Unreadable, {}};
  std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
  DWORD got = size;
  if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got) !=
          ERROR_SUCCESS ||
      type != REG_SZ || got > size)
    return {State::Unreadable, {}};
  data.resize(got / sizeof(wchar_t));
  while (!data.empty() && data.back() == L'\0') data.pop_back();
  std::optional<ResumeRecord> record = ParseResumeRecord(Narrow(data));
  if (!record) return {State::Unreadable, {}};
  std::optional<ResumeRecord> now = IdentityOf(partialPath);
  if (!now || record->size != now->size || record->lastWrite != now->lastWrite) return {};
  return {State::Found, record->validator};
}

void ForgetValidator(const Text& partialPath) {
  if (UniqueRegKey key = OpenKey(false)) ::RegDeleteValueW(key.get(), Widen(partialPath).c_str());
}

void PruneStaleValidators(int maxChecks) {
  UniqueRegKey key = OpenKey(false);
  DWORD count = 0;
  if (!key || ::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                                 nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
      count == 0)
    return;
  // A different start each time, so that with many records every one is looked at
  // in turn; names first, then the deletions (which shift the indices).
  const DWORD start = ::GetTickCount() % count;
  std::vector<std::wstring> gone;
  std::vector<wchar_t> name(32768);
  // No "insert a disk" box for a removable drive that is empty now.
  DWORD oldMode = 0;
  ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &oldMode);
  for (DWORD i = 0; i < count && i < static_cast<DWORD>(maxChecks); ++i) {
    DWORD length = static_cast<DWORD>(name.size());
    if (::RegEnumValueW(key.get(), (start + i) % count, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      continue;
    std::wstring path(name.data(), length);
    if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES && ::GetLastError() == ERROR_FILE_NOT_FOUND)
      gone.push_back(std::move(path));
  }
  ::SetThreadErrorMode(oldMode, nullptr);
  for (const std::wstring& path : gone) ::RegDeleteValueW(key.get(), path.c_str());
}
