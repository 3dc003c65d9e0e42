#include "gdiplus/gdip_codecs.h"

#include <cstring>

#include "base/codepage.h"
#include "gdiplus/gdip_guid.h"
#include "gdiplus/gdip_status.h"

namespace gdip {
namespace {

Text FromWide(const WCHAR* s) { return s ? Narrow(s) : Text(); }

ByteBuffer CopyBytes(const BYTE* p, size_t n) {
  return p ? ByteBuffer(p, p + n) : ByteBuffer();
}

}  // namespace

std::vector<EncoderInfo> ImageEncoders() {
  std::vector<EncoderInfo> out;
  UINT count = 0, size = 0;
  if (!Record(flat::GdipGetImageEncodersSize(&count, &size)) || count == 0 || size == 0) return out;
  std::vector<unsigned char> buffer(size);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (!Record(flat::GdipGetImageEncoders(count, size, codecs))) return out;
  out.reserve(count);
  for (UINT i = 0; i < count; ++i) {
    const auto& c = codecs[i];
    EncoderInfo e;
    e.clsid = GuidToText(c.Clsid);
    e.format = GuidToText(c.FormatID);
    e.codecName = FromWide(c.CodecName);
    e.dllName = FromWide(c.DllName);
    e.formatDescription = FromWide(c.FormatDescription);
    e.filenameExtension = FromWide(c.FilenameExtension);
    e.mimeType = FromWide(c.MimeType);
    e.flags = c.Flags;
    e.version = c.Version;
    e.signatureCount = c.SigCount;
    e.signatureSize = c.SigSize;
    size_t sigBytes = static_cast<size_t>(c.SigCount) * c.SigSize;
    e.signaturePattern = CopyBytes(c.SigPattern, sigBytes);
    e.signatureMask = CopyBytes(c.SigMask, sigBytes);
    out.push_back(std::move(e));
  }
  return out;
}

Text EncoderClsidForFormat(std::string_view formatGuid) {
  for (const auto& e : ImageEncoders())
    if (e.format == formatGuid) return e.clsid;
  return Text();
}

size_t ValueTypeSize(DWORD valueType) {
  switch (valueType) {
    case 1: case 2: case 7: return 1;  // Byte, ASCII, Undefined
    case 3: return 2;                  // Short
    case 4: return 4;                  // Long
    case 5: case 6: return 8;          // Rational, LongRange
    case 8: return 16;                 // RationalRange
    default: return 0;
  }
}

EncoderParameters JpegQuality(ULONG quality) {
  EncoderParameter p;
  p.category = kEncoderQuality;
  p.valueType = 4;
  p.valueCount = 1;
  p.values.resize(4);
  std::memcpy(p.values.data(), &quality, 4);
  return {p};
}

FlatEncoderParameters::FlatEncoderParameters(const EncoderParameters* params) {
  if (!params) return;
  // UINT count, then one Gdiplus::EncoderParameter per entry.
  block_.resize(sizeof(UINT) + params->size() * sizeof(Gdiplus::EncoderParameter));
  UINT count = static_cast<UINT>(params->size());
  std::memcpy(block_.data(), &count, sizeof count);
  auto* entries = reinterpret_cast<Gdiplus::EncoderParameter*>(block_.data() + sizeof(UINT));
  for (size_t i = 0; i < params->size(); ++i) {
    const auto& p = (*params)[i];
    entries[i].Guid = GuidFromText(p.category);
    size_t typeSize = ValueTypeSize(p.valueType);
    ULONG n = p.valueCount;
    // Never let GDI+ read past the values we hold.
    if (typeSize == 0 || n * typeSize > p.values.size()) n = typeSize ? p.values.size() / typeSize : 0;
    entries[i].NumberOfValues = n;
    entries[i].Type = p.valueType;
    entries[i].Value = const_cast<unsigned char*>(p.values.data());
  }
}

const Gdiplus::EncoderParameters* FlatEncoderParameters::get() const {
  return block_.empty() ? nullptr : reinterpret_cast<const Gdiplus::EncoderParameters*>(block_.data());
}

}  // namespace gdip
