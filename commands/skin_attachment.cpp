#include "commands/skin_attachment.h"

#include "base/embedded_data.h"
#include "base/lazy_binding.h"
#include "base/text.h"
#include "commands/skin_library_file.h"
#include "resources/resource_ids.h"

namespace {
// The skin library's two functions, bound at their first call.
LazyFunction<int __stdcall(const unsigned char*, int, const char*, int, int, int)> SkinH_AttachRes{
    "SkinH_EL.dll", "SkinH_AttachRes"};
LazyFunction<int __stdcall(int)> SkinH_SetAero{"SkinH_EL.dll", "SkinH_SetAero"};
}  // namespace

void EnsureSkinLibraryFile() {
  const EmbeddedBytes image = EmbeddedData(IDR_SKIN_LIBRARY);
  if (!image.data || image.size == 0) return;  // never write an empty library
  // Failures show up later, when the library cannot be bound.
  WriteHiddenFileIfAbsent(SkinLibraryPath(), image.data, image.size);
}

void AttachSkin(int skinNumber) {
  EnsureSkinLibraryFile();
  ByteBuffer skin;
  if (const int id = SkinResourceId(skinNumber)) {
    const EmbeddedBytes bytes = EmbeddedData(id);
    skin.assign(bytes.data, bytes.data + bytes.size);
  }
  SkinH_AttachRes(skin.empty() ? nullptr : skin.data(), static_cast<int>(skin.size()), "", 0, 0, 0);
}

void EnableSkinAero() {
  EnsureSkinLibraryFile();
  SkinH_SetAero(1);
}
