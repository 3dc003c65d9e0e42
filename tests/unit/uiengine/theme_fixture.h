// A theme in its start-up state, with the cache in a scratch application-data
// folder and the error box replaced by a recorder.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "test_pictures.h"
#include "uiengine/core/theme_state.h"

class ThemeFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleaseTheme();
    Theme().settingsWritingEnabled = true;
    Theme().textHaloEnabled = true;
    Theme().fontFamily = "宋体";
    Errors().clear();
    previousReporter_ = SetThemeErrorReporter(&RecordError);
  }
  void TearDown() override {
    SetThemeErrorReporter(previousReporter_);
    ReleaseTheme();
  }

  static std::vector<Text>& Errors() {
    static std::vector<Text> errors;
    return errors;
  }

  ThemeCachePaths PathsFor(const ByteBuffer& picture) const {
    return CachePathsFor(appData_.path(), PictureKey(picture));
  }

  testpics::ScratchAppData appData_;

 private:
  static void RecordError(const Text& message) { Errors().push_back(message); }
  ThemeErrorReporter previousReporter_ = nullptr;
};
