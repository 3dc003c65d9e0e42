// Image encoders: enumeration, lookup by format, and encoder parameters.
#pragma once

#include <vector>

#include "base/text.h"
#include "gdiplus/gdip_api.h"

namespace gdip {

// One image encoder as GDI+ describes it (GUIDs as registry-form texts).
struct EncoderInfo {
  Text clsid;
  Text format;
  Text codecName;
  Text dllName;
  Text formatDescription;
  Text filenameExtension;
  Text mimeType;
  DWORD flags = 0;
  DWORD version = 0;
  DWORD signatureCount = 0;
  DWORD signatureSize = 0;
  ByteBuffer signaturePattern;  // signatureCount * signatureSize bytes
  ByteBuffer signatureMask;     // signatureCount * signatureSize bytes
};

// The installed image encoders, in GDI+'s order (empty when GDI+ fails).
std::vector<EncoderInfo> ImageEncoders();

// The clsid text of the first encoder whose format text equals `formatGuid` byte
// for byte, or the empty text.
Text EncoderClsidForFormat(std::string_view formatGuid);

// One encoder parameter: category GUID text, value type (EncoderParameterValueType)
// and the values as bytes. The number of values is derived from the byte length.
struct EncoderParameter {
  Text category;
  DWORD valueType = 0;
  DWORD valueCount = 0;
  ByteBuffer values;  // valueCount * ValueTypeSize(valueType) bytes
};
using EncoderParameters = std::vector<EncoderParameter>;

// Byte size of one value of an EncoderParameterValueType (0 for unknown types).
size_t ValueTypeSize(DWORD valueType);

// Category text of the JPEG quality parameter, and a ready-made parameter list.
constexpr const char kEncoderQuality[] = "{1D5BE4B5-FA4A-452D-9CDD-5DB35105E7EB}";
EncoderParameters JpegQuality(ULONG quality);

// The flat EncoderParameters block GDI+ reads. It points into the list's value
// bytes, so the list must outlive it.
class FlatEncoderParameters {
 public:
  explicit FlatEncoderParameters(const EncoderParameters* params);
  const Gdiplus::EncoderParameters* get() const;

 private:
  std::vector<unsigned char> block_;
};

}  // namespace gdip
