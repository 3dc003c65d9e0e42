#include "commands/skin_attachment.h"

#include "base/embedded_data.h"
#include "base/lazy_binding.h"
#include "base/text.h"
#include "commands/skin_library_file.h"
#include "resources/resource_ids.h"

namespace {
constexpr char kSkinLibrary[] = "SkinH_EL.dll";
// The skin library's two functions, bound at their first call.
LazyFunction<int __stdcall(const unsigned char*, int, const char*, int, int, int)> SkinH_AttachRes{
    kSkinLibrary, "SkinH_AttachRes"};
LazyFunction<int __stdcall(int)> SkinH_SetAero{kSkinLibrary, "SkinH_SetAero"};

bool SkinLibraryBinds() {
  return TryBindFunction(kSkinLibrary, "SkinH_AttachRes") && TryBindFunction(kSkinLibrary, "SkinH_SetAero");
}

// A file beside the program that is not a library with both functions (cut short,
// empty, some other DLL) would end every start in the binding error until someone
// deleted it by hand: it is renamed aside and ours written in its place. A library
// that binds is used as it is, and what cannot be mended (a folder of that name, a
// folder we cannot write to, our own library failing) is left to the binding error.
void MendSkinLibraryOnce() {
  static bool done = false;
  if (done) return;
  done = true;
  EnsureSkinLibraryFile();
  if (SkinLibraryBinds()) return;
  const EmbeddedBytes image = EmbeddedData(IDR_SKIN_LIBRARY);
  const Text path = SkinLibraryPath();
  if (!image.data || image.size == 0 || !IsPlainFile(path) || FileHoldsBytes(path, image.data, image.size)) return;
  UnloadBoundLibrary(kSkinLibrary);  // a DLL lacking a function may be loaded
  if (SetFileAside(path)) EnsureSkinLibraryFile();
}
}  // namespace

void EnsureSkinLibraryFile() {
  const EmbeddedBytes image = EmbeddedData(IDR_SKIN_LIBRARY);
  if (!image.data || image.size == 0) return;  // never write an empty library
  // Failures show up later, when the library cannot be bound.
  WriteHiddenFileIfAbsent(SkinLibraryPath(), image.data, image.size);
}

void AttachSkin(int skinNumber) {
  MendSkinLibraryOnce();
  const int id = SkinResourceId(skinNumber);
  const ByteBuffer skin = id ? EmbeddedDataCopy(id) : ByteBuffer();
  SkinH_AttachRes(skin.empty() ? nullptr : skin.data(), static_cast<int>(skin.size()), "", 0, 0, 0);
}

void EnableSkinAero() {
  MendSkinLibraryOnce();
  SkinH_SetAero(1);
}
