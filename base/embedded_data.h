// Data embedded in the program's resources (RCDATA).
#pragma once

#include <cstddef>

#include "base/text.h"

struct EmbeddedBytes {
  const unsigned char* data = nullptr;  // read-only, lives as long as the program
  size_t size = 0;
};

// The RCDATA resource with that id in the program itself; empty when there is none.
EmbeddedBytes EmbeddedData(int resourceId);
// The same bytes, copied.
ByteBuffer EmbeddedDataCopy(int resourceId);
