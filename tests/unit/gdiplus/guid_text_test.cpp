#include <gtest/gtest.h>

#include <cstring>

#include "gdiplus/gdip_guid.h"

namespace {

TEST(GuidText, RoundTripsRegistryForm) {
  const char* text = "{B96B3CAE-0728-11D3-9D7B-0000F81EF32E}";
  GUID g = gdip::GuidFromText(text);
  EXPECT_EQ(0xB96B3CAEul, g.Data1);
  EXPECT_EQ(0x0728, g.Data2);
  EXPECT_EQ(0x11D3, g.Data3);
  EXPECT_EQ(0x9D, g.Data4[0]);
  EXPECT_EQ(0x2E, g.Data4[7]);
  EXPECT_EQ(text, gdip::GuidToText(g));
  // Lower-case digits are read too; the text form is always upper case.
  EXPECT_EQ(text, gdip::GuidToText(gdip::GuidFromText("{b96b3cae-0728-11d3-9d7b-0000f81ef32e}")));
}

TEST(GuidText, UnparsableTextIsTheZeroGuid) {
  const char* cases[] = {
      "",
      "B96B3CAE-0728-11D3-9D7B-0000F81EF32E",     // no braces
      "{B96B3CAE-0728-11D3-9D7B-0000F81EF32}",    // one digit short
      "{B96B3CAE-0728-11D3-9D7B-0000F81EF32EE}",  // one digit long
      "{B96B3CAE_0728-11D3-9D7B-0000F81EF32E}",   // wrong separator
      "{B96B3CAG-0728-11D3-9D7B-0000F81EF32E}",   // not hex in Data1
      "{B96B3CAE-0728-11D3-9D7B-0000F81EF3ZE}",   // not hex in the last byte
      "image/jpeg",
  };
  for (const char* text : cases) {
    SCOPED_TRACE(text);
    EXPECT_TRUE(gdip::IsZeroGuid(gdip::GuidFromText(text)));
  }
  EXPECT_EQ("{00000000-0000-0000-0000-000000000000}", gdip::GuidToText(gdip::GuidFromText("nonsense")));
}

}  // namespace
