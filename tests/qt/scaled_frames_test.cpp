// The frames of texts and lists at fractional screen scales (1.25, 1.5, 1.75), where a frame
// line falls between device pixels: all four lines stay drawn wherever the control sits.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/window/properties.h"
#include "qt_test_support.h"
#include "tests/qt/frame_lines.h"

namespace qtui::testing {
namespace {

using namespace window::testing;
using ::testing::IsEmpty;

TEST(QtScaledFrames, TextsAndListsKeepAllFourFrameLinesAtEveryScale) {
  reset();
  registerTestWindow();
  bool looked = false;
  const auto readOnly = [](Window& w) { w.setProperty(kNotesText, window::PropReadOnly, 1); };
  runWindowInQt(kTestKey, kTestLabel, {[&](Window& w) {
                  const struct {
                    const char* name;
                    int control;
                  } framed[] = {
                      {"read-only multi-line text", kNotesText},
                      {"single-line text", kLineText},
                      {"list", kList},
                  };
                  for (const auto& f : framed) {
                    for (const qreal scale : {1.0, 1.25, 1.5, 1.75, 2.0}) {
                      EXPECT_THAT(missingFrameLines(*widgetOf(w, f.control), scale), IsEmpty())
                          << f.name << " at scale " << scale;
                    }
                  }
                  looked = true;
                  closeBox()(w);
                }},
                {}, readOnly);
  EXPECT_TRUE(looked);
}

}  // namespace
}  // namespace qtui::testing
