#include "uiengine/render/engine_pictures.h"

#include "base/embedded_data.h"
#include "resources/resource_ids.h"

ByteBuffer EnginePictureBytes(EnginePicture picture, int artworkScale) {
  const int set = artworkScale == 200 ? 20 : artworkScale == 150 ? 10 : 0;
  return EmbeddedDataCopy(IDR_ENGINE_PNG_FIRST + set + static_cast<int>(picture));
}

bool LoadEnginePicture(EnginePicture picture, gdip::Image& image, int artworkScale) {
  ByteBuffer bytes = EnginePictureBytes(picture, artworkScale);
  if (bytes.empty()) {
    image.Release();
    return false;
  }
  return image.LoadFromBytes(bytes);
}
