#include "test_pictures.h"

#include <shellapi.h>

#include "base/codepage.h"
#include "base/unique_handle.h"
#include "resources/resource_ids.h"

namespace testpics {
namespace {
constexpr WCHAR kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
}

ByteBuffer Solid(int width, int height, gdip::ARGB colour, const char* format) {
  gdip::Bitmap b;
  b.CreateEmpty(width, height);
  {
    gdip::Graphics g;
    g.CreateForImage(b);
    g.Clear(colour);
  }
  return b.SaveToBytes(format);
}

ByteBuffer Checker(int width, int height, gdip::ARGB a, gdip::ARGB c) {
  gdip::Bitmap b;
  b.CreateEmpty(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) b.SetPixel(x, y, (x + y) % 2 ? c : a);
  return b.SaveToBytes(gdip::kFormatPng);
}

ByteBuffer EmbeddedBackground() {
  HMODULE self = ::GetModuleHandleW(nullptr);
  HRSRC res = ::FindResourceW(self, MAKEINTRESOURCEW(IDR_BACKGROUND_JPEG), MAKEINTRESOURCEW(10));
  if (!res) return {};
  HGLOBAL loaded = ::LoadResource(self, res);
  const auto* p = static_cast<const unsigned char*>(::LockResource(loaded));
  return ByteBuffer(p, p + ::SizeofResource(self, res));
}

ByteBuffer ReadFileBytes(const Text& path) {
  UniqueFile file(::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ByteBuffer bytes;
  unsigned char chunk[65536];
  DWORD got = 0;
  while (file && ::ReadFile(file.get(), chunk, sizeof(chunk), &got, nullptr) && got > 0)
    bytes.insert(bytes.end(), chunk, chunk + got);
  return bytes;
}

void WriteFileBytes(const Text& path, const ByteBuffer& bytes) {
  UniqueFile file(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  if (file && !bytes.empty()) ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

bool Exists(const Text& path) { return ::GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

Text ReadIniValue(const Text& file, const char* section, const char* key) {
  WCHAR buf[256] = {};
  ::GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), L"", buf, 256, Widen(file).c_str());
  return Narrow(buf);
}

void WriteIniValue(const Text& file, const char* section, const char* key, const Text& value) {
  ::WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(value).c_str(),
                               Widen(file).c_str());
}

ScratchAppData::ScratchAppData() {
  WCHAR temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  static int counter = 0;
  std::wstring dir = std::wstring(temp) + L"lanshi_appdata_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                     std::to_wstring(++counter);
  ::CreateDirectoryW(dir.c_str(), nullptr);
  path_ = Narrow(dir);

  HKEY key = nullptr;
  ::RegCreateKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
  UniqueRegKey owned(key);
  WCHAR old[1024] = {};
  DWORD size = sizeof old - sizeof(WCHAR);
  hadValue_ = ::RegQueryValueExW(key, L"AppData", nullptr, &oldType_, reinterpret_cast<BYTE*>(old), &size) ==
              ERROR_SUCCESS;
  oldValue_ = old;
  PointAt(path_);
}

void ScratchAppData::PointAt(const Text& path) {
  HKEY key = nullptr;
  ::RegCreateKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
  UniqueRegKey owned(key);
  std::wstring value = Widen(path);
  ::RegSetValueExW(key, L"AppData", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR)));
}

ScratchAppData::~ScratchAppData() {
  HKEY key = nullptr;
  ::RegCreateKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
  UniqueRegKey owned(key);
  if (hadValue_)
    ::RegSetValueExW(key, L"AppData", 0, oldType_, reinterpret_cast<const BYTE*>(oldValue_.c_str()),
                     static_cast<DWORD>((oldValue_.size() + 1) * sizeof(WCHAR)));
  else
    ::RegDeleteValueW(key, L"AppData");
  RemoveTree(path_);
}

void RemoveTree(const Text& path) {
  std::wstring from = Widen(path);
  while (!from.empty() && from.back() == L'\\') from.pop_back();
  from.push_back(L'\0');  // double-terminated list
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NO_UI;
  ::SHFileOperationW(&op);
}

}  // namespace testpics
