#include <gtest/gtest.h>

#include <optional>

#include "test_pictures.h"
#include "uiengine/core/cached_background.h"

namespace {

// Where the frame header's segment (its 0xFF) starts in a JPEG GDI+ wrote.
size_t FrameHeaderAt(const ByteBuffer& jpeg) {
  size_t pos = 2;
  while (pos + 4 <= jpeg.size() && !(jpeg[pos + 1] >= 0xC0 && jpeg[pos + 1] <= 0xC2))
    pos += 2 + (jpeg[pos + 2] << 8 | jpeg[pos + 3]);
  return pos;
}

ByteBuffer WithFrameSize(ByteBuffer jpeg, int width, int height) {
  const size_t at = FrameHeaderAt(jpeg) + 5;
  jpeg[at] = static_cast<unsigned char>(height >> 8);
  jpeg[at + 1] = static_cast<unsigned char>(height);
  jpeg[at + 2] = static_cast<unsigned char>(width >> 8);
  jpeg[at + 3] = static_cast<unsigned char>(width);
  return jpeg;
}

// A comment segment of `length` bytes after SOI: well-formed, but makes the file larger.
ByteBuffer WithComment(ByteBuffer jpeg, size_t length) {
  ByteBuffer comment = {0xFF, 0xFE, static_cast<unsigned char>(length >> 8), static_cast<unsigned char>(length)};
  comment.resize(2 + length, 'c');
  jpeg.insert(jpeg.begin() + 2, comment.begin(), comment.end());
  return jpeg;
}

TEST(CachedBackground, OnlyTheWholeJpegOfTheRecordedSizeMayBeDecoded) {
  const PixelSize size{37, 23};
  const ByteBuffer good = testpics::Solid(size.width, size.height, 0xFF3070D0, gdip::kFormatJpeg);
  const size_t frame = FrameHeaderAt(good);
  ASSERT_LT(frame, good.size());

  ByteBuffer noFrame = good;
  noFrame.erase(noFrame.begin() + frame, noFrame.begin() + frame + 2 + (good[frame + 2] << 8 | good[frame + 3]));
  ByteBuffer twoFrames = good;
  twoFrames.insert(twoFrames.begin() + frame, good.begin() + frame,
                   good.begin() + frame + 2 + (good[frame + 2] << 8 | good[frame + 3]));
  ByteBuffer lossless = good;
  lossless[frame + 1] = 0xC3;
  ByteBuffer trailing = good;
  trailing.push_back(0);
  ByteBuffer garbage(5000);
  for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<unsigned char>(i * 131 + (i >> 3));
  const ByteBuffer headerOnly(good.begin(), good.begin() + frame + 19);
  // Two comment segments take the file past what a JPEG of 37 x 23 ever needs.
  const ByteBuffer oversized = WithComment(WithComment(good, 65000), 65000);

  struct Case {
    const char* what;
    ByteBuffer bytes;
    std::optional<PixelSize> frame;  // what the markers say
    bool decodable;                  // as a background of 37 x 23
  } cases[] = {
      {"good", good, size, true},
      {"header claiming 65000 x 65000", WithFrameSize(good, 65000, 65000), PixelSize{65000, 65000}, false},
      {"one pixel wider", WithFrameSize(good, 38, 23), PixelSize{38, 23}, false},
      {"height left to a later DNL", WithFrameSize(good, 37, 0), std::nullopt, false},
      {"cut in half", ByteBuffer(good.begin(), good.begin() + good.size() / 2), std::nullopt, false},
      {"cut before EOI", ByteBuffer(good.begin(), good.end() - 2), std::nullopt, false},
      {"frame header and nothing else", headerOnly, std::nullopt, false},
      {"no frame header", noFrame, std::nullopt, false},
      {"two frame headers", twoFrames, std::nullopt, false},
      {"lossless frame", lossless, std::nullopt, false},
      {"bytes after EOI", trailing, std::nullopt, false},
      {"larger than any JPEG of its size", oversized, size, false},
      {"garbage", garbage, std::nullopt, false},
      {"empty", ByteBuffer{}, std::nullopt, false},
      {"SOI, EOI", ByteBuffer{0xFF, 0xD8, 0xFF, 0xD9}, std::nullopt, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::optional<PixelSize> got = JpegFrameSize(c.bytes.data(), c.bytes.size());
    ASSERT_EQ(c.frame.has_value(), got.has_value());
    if (got) {
      EXPECT_EQ(*c.frame, *got);
    }
    EXPECT_EQ(c.decodable, IsCachedBackgroundOf(c.bytes.data(), c.bytes.size(), size));
  }
}

TEST(CachedBackground, TheSizeFileMustRecordAScreenNoLargerThanThisOne) {
  const PixelSize screen{1280, 1024};
  struct Case {
    const char* width;
    const char* height;
    std::optional<PixelSize> expected;
  } cases[] = {
      {"1280", "1024", PixelSize{1290, 1034}},
      {"1024", "768", PixelSize{1034, 778}},  // made on a smaller screen: still used
      {"1", "1", PixelSize{11, 11}},
      {"1281", "1024", std::nullopt},
      {"1280", "1025", std::nullopt},
      {"65000", "65000", std::nullopt},
      {"0", "768", std::nullopt},
      {"", "768", std::nullopt},
      {"1024", "", std::nullopt},
      {"-1024", "768", std::nullopt},
      {"1024x", "768", std::nullopt},
      {"99999999999", "768", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.width) + " x " + c.height);
    const std::optional<PixelSize> got = RecordedBackgroundSize(c.width, c.height, screen);
    ASSERT_EQ(c.expected.has_value(), got.has_value());
    if (got) {
      EXPECT_EQ(*c.expected, *got);
    }
  }
}

}  // namespace
