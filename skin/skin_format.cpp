#include "skin/skin_format.h"

#include <cstring>

namespace skin {
namespace {

uint16_t ReadU16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t ReadU32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

// The colour field a tag fills, or null when the tag is not a colour.
ColourRef* ColourField(Palette& p, uint16_t tag) {
  switch (tag) {
    case kTagWindowTop: return &p.windowTop;
    case kTagWindowBottom: return &p.windowBottom;
    case kTagWindowText: return &p.windowText;
    case kTagEditBack: return &p.editBack;
    case kTagEditText: return &p.editText;
    case kTagEditBorder: return &p.editBorder;
    case kTagEditFocusBorder: return &p.editFocusBorder;
    case kTagEditDisabledBack: return &p.editDisabledBack;
    case kTagEditDisabledText: return &p.editDisabledText;
    case kTagProgressTrack: return &p.progressTrack;
    case kTagProgressBorder: return &p.progressBorder;
    case kTagProgressFillTop: return &p.progressFillTop;
    case kTagProgressFillBottom: return &p.progressFillBottom;
    default: break;
  }
  // Button states: four consecutive tags each.
  static constexpr uint16_t kStateTags[kButtonStates] = {kTagButtonNormal, kTagButtonHot, kTagButtonPressed,
                                                         kTagButtonDisabled};
  for (int s = 0; s < kButtonStates; ++s) {
    if (tag < kStateTags[s] || tag >= kStateTags[s] + 4) continue;
    ButtonLook& b = p.button[s];
    ColourRef* fields[4] = {&b.faceTop, &b.faceBottom, &b.border, &b.text};
    return fields[tag - kStateTags[s]];
  }
  return nullptr;
}

struct MetricRule {
  uint16_t tag;
  int Palette::*field;
  int minimum;
  int maximum;
  int fallback;
};
constexpr MetricRule kMetrics[] = {
    {kTagButtonRadius, &Palette::buttonRadius, 0, 16, 4},
    {kTagProgressRadius, &Palette::progressRadius, 0, 16, 3},
    {kTagEditBorderWidth, &Palette::editBorderWidth, 1, 2, 1},
};

const MetricRule* FindMetric(uint16_t tag) {
  for (const MetricRule& m : kMetrics)
    if (m.tag == tag) return &m;
  return nullptr;
}

// Every colour tag, in order: a skin must carry each of them once.
constexpr uint16_t kColourTags[] = {
    kTagWindowTop, kTagWindowBottom, kTagWindowText, kTagEditBack, kTagEditText, kTagEditBorder,
    kTagEditFocusBorder, kTagEditDisabledBack, kTagEditDisabledText,
    kTagButtonNormal, kTagButtonNormal + 1, kTagButtonNormal + 2, kTagButtonNormal + 3,
    kTagButtonHot, kTagButtonHot + 1, kTagButtonHot + 2, kTagButtonHot + 3,
    kTagButtonPressed, kTagButtonPressed + 1, kTagButtonPressed + 2, kTagButtonPressed + 3,
    kTagButtonDisabled, kTagButtonDisabled + 1, kTagButtonDisabled + 2, kTagButtonDisabled + 3,
    kTagProgressTrack, kTagProgressBorder, kTagProgressFillTop, kTagProgressFillBottom,
};
constexpr size_t kColourCount = sizeof(kColourTags) / sizeof(kColourTags[0]);

int ColourIndex(uint16_t tag) {
  for (size_t i = 0; i < kColourCount; ++i)
    if (kColourTags[i] == tag) return static_cast<int>(i);
  return -1;
}

ParseResult Fail(ParseError e) { return ParseResult{e, std::nullopt}; }

struct FaceRange {
  int FaceMetrics::*field;
  int minimum;
  int maximum;
};
// In the order the record stores them.
constexpr FaceRange kFaceRanges[kFaceMetricCount] = {
    {&FaceMetrics::buttonRadius, 0, 32},  {&FaceMetrics::progressRadius, 0, 32},
    {&FaceMetrics::editBorderWidth, 1, 4}, {&FaceMetrics::lineWidth, 1, 4},
    {&FaceMetrics::focusInset, 0, 16},     {&FaceMetrics::progressInset, 0, 8},
};

bool ReadFaces(const unsigned char* value, FaceMetrics& out) {
  for (int i = 0; i < kFaceMetricCount; ++i) {
    const int v = static_cast<int32_t>(ReadU32(value + 4 * i));
    if (v < kFaceRanges[i].minimum || v > kFaceRanges[i].maximum) return false;
    out.*kFaceRanges[i].field = v;
  }
  return true;
}

// A skin without faces for a scale: the 100% ones grown by it, lines staying whole pixels.
FaceMetrics GrownFaces(const FaceMetrics& base, int percent) {
  auto grow = [percent](int v) { return (v * percent + 50) / 100; };
  return {grow(base.buttonRadius), grow(base.progressRadius), base.editBorderWidth * percent / 100,
          base.lineWidth * percent / 100, grow(base.focusInset), grow(base.progressInset)};
}

}  // namespace

FaceMetrics BaseFaces(const Palette& p) { return {p.buttonRadius, p.progressRadius, p.editBorderWidth, 1, 4, 2}; }

uint32_t Crc32(const unsigned char* data, size_t length) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < length; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

ParseResult ParseSkin(const unsigned char* data, size_t length) {
  if (!data || length == 0) return Fail(ParseError::kNoData);
  if (length < kHeaderSize) return Fail(ParseError::kTooShort);
  if (std::memcmp(data, kMagic, sizeof(kMagic)) != 0) return Fail(ParseError::kBadMagic);
  if (ReadU16(data + 4) != kFormatVersion) return Fail(ParseError::kBadVersion);
  if (ReadU16(data + 6) != kHeaderSize) return Fail(ParseError::kBadHeaderSize);
  const uint32_t bodySize = ReadU32(data + 8);
  if (bodySize > kMaxBodySize || bodySize != length - kHeaderSize) return Fail(ParseError::kBadLength);
  const unsigned char* body = data + kHeaderSize;
  if (Crc32(body, bodySize) != ReadU32(data + 12)) return Fail(ParseError::kBadChecksum);

  Palette palette = {};
  for (const MetricRule& m : kMetrics) palette.*m.field = m.fallback;
  bool seenColour[kColourCount] = {};
  bool seenMetric[sizeof(kMetrics) / sizeof(kMetrics[0])] = {};
  bool seenName = false;
  bool seenFaces150 = false, seenFaces200 = false;

  size_t pos = 0;
  while (pos < bodySize) {
    if (bodySize - pos < 4) return Fail(ParseError::kBadRecord);
    const uint16_t tag = ReadU16(body + pos);
    const uint16_t size = ReadU16(body + pos + 2);
    pos += 4;
    if (size > bodySize - pos) return Fail(ParseError::kBadRecord);
    const unsigned char* value = body + pos;
    pos += size;

    if (tag == kTagName) {
      if (seenName) return Fail(ParseError::kDuplicateRecord);
      seenName = true;
      if (size == 0 || size > kMaxNameLength) return Fail(ParseError::kBadValue);
      for (uint16_t i = 0; i < size; ++i)
        if (value[i] < 0x20 || value[i] > 0x7E) return Fail(ParseError::kBadValue);
      std::memcpy(palette.name, value, size);
      palette.name[size] = '\0';
    } else if (ColourRef* field = ColourField(palette, tag)) {
      if (size != 4) return Fail(ParseError::kBadRecord);
      const int index = ColourIndex(tag);
      if (seenColour[index]) return Fail(ParseError::kDuplicateRecord);
      seenColour[index] = true;
      const uint32_t colour = ReadU32(value);
      if (colour > 0x00FFFFFFu) return Fail(ParseError::kBadValue);
      *field = colour;
    } else if (const MetricRule* metric = FindMetric(tag)) {
      if (size != 4) return Fail(ParseError::kBadRecord);
      const size_t index = static_cast<size_t>(metric - kMetrics);
      if (seenMetric[index]) return Fail(ParseError::kDuplicateRecord);
      seenMetric[index] = true;
      const int v = static_cast<int32_t>(ReadU32(value));
      if (v < metric->minimum || v > metric->maximum) return Fail(ParseError::kBadValue);
      palette.*metric->field = v;
    } else if (tag == kTagFaces150 || tag == kTagFaces200) {
      if (size != 4 * kFaceMetricCount) return Fail(ParseError::kBadRecord);
      bool& seen = tag == kTagFaces150 ? seenFaces150 : seenFaces200;
      if (seen) return Fail(ParseError::kDuplicateRecord);
      seen = true;
      if (!ReadFaces(value, tag == kTagFaces150 ? palette.faces150 : palette.faces200))
        return Fail(ParseError::kBadValue);
    }
    // Records of later versions that this reader does not know are skipped.
  }
  for (bool seen : seenColour)
    if (!seen) return Fail(ParseError::kMissingRecord);
  if (!seenFaces150) palette.faces150 = GrownFaces(BaseFaces(palette), 150);
  if (!seenFaces200) palette.faces200 = GrownFaces(BaseFaces(palette), 200);
  return ParseResult{ParseError::kOk, palette};
}

}  // namespace skin
