// The ".SHE" skin format of our skin library (documented in skin/FORMAT.md):
// reading a skin from untrusted bytes into a palette. Pure code, no windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace skin {

// A COLORREF (0x00BBGGRR), unsigned as Win32 has it. (The UI engine's Colour is the
// signed form its theme files store.)
using ColourRef = uint32_t;

constexpr uint8_t kMagic[4] = {'.', 'S', 'H', 'E'};
constexpr uint16_t kFormatVersion = 1;
constexpr size_t kHeaderSize = 16;
constexpr size_t kMaxBodySize = 64 * 1024;  // a skin is a few hundred bytes; more is not a skin
constexpr size_t kMaxNameLength = 63;

// Record tags. Colour records carry 4 bytes (a COLORREF whose top byte is 0),
// metric records 4 bytes (a signed 32-bit value within the metric's range).
enum Tag : uint16_t {
  kTagName = 0x0001,

  kTagWindowTop = 0x0101,
  kTagWindowBottom = 0x0102,
  kTagWindowText = 0x0103,

  kTagEditBack = 0x0111,
  kTagEditText = 0x0112,
  kTagEditBorder = 0x0113,
  kTagEditFocusBorder = 0x0114,
  kTagEditDisabledBack = 0x0115,
  kTagEditDisabledText = 0x0116,

  // Buttons: four colours (face top, face bottom, border, text) per state.
  kTagButtonNormal = 0x0121,
  kTagButtonHot = 0x0131,
  kTagButtonPressed = 0x0141,
  kTagButtonDisabled = 0x0151,

  kTagProgressTrack = 0x0161,
  kTagProgressBorder = 0x0162,
  kTagProgressFillTop = 0x0163,
  kTagProgressFillBottom = 0x0164,

  kTagButtonRadius = 0x0201,
  kTagProgressRadius = 0x0202,
  kTagEditBorderWidth = 0x0203,

  // The faces' metrics drawn for 150% and 200% displays (six metrics each).
  kTagFaces150 = 0x0204,
  kTagFaces200 = 0x0205,
};

struct ButtonLook {
  ColourRef faceTop;
  ColourRef faceBottom;
  ColourRef border;
  ColourRef text;
};

// The pixel metrics of the drawn faces at one display scale.
struct FaceMetrics {
  int buttonRadius;     // 0..32
  int progressRadius;   // 0..32
  int editBorderWidth;  // 1..4
  int lineWidth;        // 1..4: border of push buttons and progress bars
  int focusInset;       // 0..16: focus mark inside a push button
  int progressInset;    // 0..8: gap between a progress bar's border and its fill
};
constexpr int kFaceMetricCount = 6;

enum ButtonState { kButtonNormal, kButtonHot, kButtonPressed, kButtonDisabled, kButtonStates };

struct Palette {
  char name[kMaxNameLength + 1];

  ColourRef windowTop;
  ColourRef windowBottom;
  ColourRef windowText;

  ColourRef editBack;
  ColourRef editText;
  ColourRef editBorder;
  ColourRef editFocusBorder;
  ColourRef editDisabledBack;
  ColourRef editDisabledText;

  ButtonLook button[kButtonStates];

  ColourRef progressTrack;
  ColourRef progressBorder;
  ColourRef progressFillTop;
  ColourRef progressFillBottom;

  int buttonRadius;       // 0..16, default 4
  int progressRadius;     // 0..16, default 3
  int editBorderWidth;    // 1..2, default 1

  // The faces at 150% and 200%: from the skin, or the 100% ones scaled when it has none.
  FaceMetrics faces150;
  FaceMetrics faces200;
};

// The faces at 100%: the three metrics above, lines of one pixel, focus mark 4
// pixels in, fill 2 pixels inside the border.
FaceMetrics BaseFaces(const Palette& palette);

// Why a skin was refused (kOk when it was read).
enum class ParseError {
  kOk,
  kNoData,           // null pointer or length 0
  kTooShort,         // shorter than the header
  kBadMagic,
  kBadVersion,
  kBadHeaderSize,
  kBadLength,        // the header's body size does not match the data (truncated or padded)
  kBadChecksum,
  kBadRecord,        // a record runs past the end, or a known record has the wrong size
  kBadValue,         // a colour with a non-zero top byte, a metric out of range, a bad name
  kDuplicateRecord,
  kMissingRecord,    // a colour record the skin must have is absent
};

struct ParseResult {
  ParseError error = ParseError::kOk;
  std::optional<Palette> palette;
};

// Reads a whole skin. Any fault leaves no palette: the caller keeps the default look.
ParseResult ParseSkin(const unsigned char* data, size_t length);

// CRC-32 (IEEE 802.3, as zlib's crc32) of a block.
uint32_t Crc32(const unsigned char* data, size_t length);

}  // namespace skin
