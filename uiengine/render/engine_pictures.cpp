#include "uiengine/render/engine_pictures.h"

#include "resources/resource_ids.h"

ByteBuffer EnginePictureBytes(EnginePicture picture, int artworkScale) {
  HMODULE module = ::GetModuleHandleW(nullptr);
  const int set = artworkScale == 200 ? 20 : artworkScale == 150 ? 10 : 0;
  int id = IDR_ENGINE_PNG_FIRST + set + static_cast<int>(picture);
  HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!resource) return {};
  // Resources stay mapped with the module: nothing to free.
  HGLOBAL loaded = ::LoadResource(module, resource);
  const auto* data = static_cast<const unsigned char*>(loaded ? ::LockResource(loaded) : nullptr);
  if (!data) return {};
  return ByteBuffer(data, data + ::SizeofResource(module, resource));
}

bool LoadEnginePicture(EnginePicture picture, gdip::Image& image, int artworkScale) {
  ByteBuffer bytes = EnginePictureBytes(picture, artworkScale);
  if (bytes.empty()) {
    image.Release();
    return false;
  }
  return image.LoadFromBytes(bytes);
}
