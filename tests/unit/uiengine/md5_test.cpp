#include <gtest/gtest.h>

#include "uiengine/core/md5.h"
#include "uiengine/core/theme_state.h"

namespace {

TEST(Md5, Rfc1321TestSuite) {
  struct Case {
    const char* input;
    const char* digest;
  } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.digest, Md5Hex(c.input)) << '"' << c.input << '"';
}

TEST(Md5, PaddingBoundaries) {
  // Lengths around the 56-byte padding limit and the 64-byte block (checked
  // against Python's hashlib).
  struct Case {
    size_t length;
    const char* digest;
  } cases[] = {
      {55, "ef1772b6dff9a122358552954ad0df65"},
      {56, "3b0c8ac703f828b04c6c197006d17218"},
      {63, "b06521f39153d618550606be297466d5"},
      {64, "014842d480b571495a4a0363793f7367"},
      {65, "c743a45e0d2e6a95cb859adae0248435"},
      {1000, "cabe45dcc9ae5b66ba86600cca6b8ba8"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.digest, Md5Hex(std::string(c.length, 'a'))) << c.length;
}

TEST(PictureKey, IsTheMd5OfTheBytes) {
  EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", PictureKey(ByteBuffer{}));
  ByteBuffer abc{'a', 'b', 'c'};
  EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", PictureKey(abc));
  ByteBuffer copy = abc;
  EXPECT_EQ(PictureKey(abc), PictureKey(copy));
  ByteBuffer withZero{0xFF, 0x00, 0xD8};
  EXPECT_EQ(Md5Hex(reinterpret_cast<const char*>(withZero.data()), 3), PictureKey(withZero));
  EXPECT_NE(PictureKey(ByteBuffer{0xFF, 0x00}), PictureKey(withZero));
}

}  // namespace
