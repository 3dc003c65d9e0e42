// Starts GDI+ once for the whole test program.
#include <gtest/gtest.h>

#include "gdiplus/gdip_api.h"

namespace {

class GdiplusEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input{};
    input.GdiplusVersion = 1;
    ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token_, &input, nullptr));
  }
  void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

 private:
  ULONG_PTR token_ = 0;
};

[[maybe_unused]] ::testing::Environment* const g_gdiplus =
    ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace
