#include "base/embedded_data.h"

#include <windows.h>

EmbeddedBytes EmbeddedData(int resourceId) {
  HMODULE self = ::GetModuleHandleW(nullptr);
  HRSRC resource = ::FindResourceW(self, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!resource) return {};
  HGLOBAL loaded = ::LoadResource(self, resource);  // resources are never freed
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (!bytes) return {};
  return {static_cast<const unsigned char*>(bytes), ::SizeofResource(self, resource)};
}

ByteBuffer EmbeddedDataCopy(int resourceId) {
  const EmbeddedBytes bytes = EmbeddedData(resourceId);
  return ByteBuffer(bytes.data, bytes.data + bytes.size);
}
