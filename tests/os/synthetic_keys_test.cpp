#include "platform/os/synthetic_keys.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace os {
namespace {

// Records the keystrokes for the life of the object and puts the sink before it back.
class Recorder {
 public:
  Recorder() : before_(setKeySink([this](int key) { keys.push_back(key); })) {}
  ~Recorder() { setKeySink(before_); }
  std::vector<int> keys;

 private:
  KeySink before_;
};

struct Transition {
  int key;
  bool up;
};

TEST(SyntheticKeys, KeysGoingDownAreTypedWithTheModifiersHeld) {
  const struct {
    const char* name;
    std::vector<Transition> transitions;
    std::vector<int> typed;
  } cases[] = {
      {"Shift+Tab as the tab-stop navigation sends it",
       {{VkShift, false}, {VkTab, false}, {VkTab, true}, {VkShift, true}},
       {0x109}},
      {"Tab after Shift went up", {{VkShift, false}, {VkShift, true}, {VkTab, false}}, {0x09}},
      {"Ctrl and Alt", {{VkControl, false}, {VkMenu, false}, {'H', false}}, {0x648}},
      {"a held key repeats", {{VkReturn, false}, {VkReturn, false}}, {0x0D, 0x0D}},
      {"keys going up type nothing", {{VkTab, true}, {'A', true}}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Recorder r;
    for (const Transition& t : c.transitions) keybd_event(t.key, 0, t.up ? KeyEventKeyUp : 0, 0);
    EXPECT_EQ(r.keys, c.typed);
    // Leave no modifier held for the next case.
    for (int vk : {VkShift, VkControl, VkMenu}) keybd_event(vk, 0, KeyEventKeyUp, 0);
  }
}

TEST(SyntheticKeys, WithoutASinkKeystrokesAreDropped) {
  const KeySink before = setKeySink({});
  EXPECT_FALSE(hasKeySink());
  keybd_event(VkTab, 0, 0, 0);  // nothing to reach, nothing to crash
  setKeySink(before);
}

TEST(SyntheticKeys, ModifiersAreHeldPerThread) {
  Recorder r;
  keybd_event(VkShift, 0, 0, 0);
  std::thread other([] { keybd_event(VkTab, 0, 0, 0); });
  other.join();
  keybd_event(VkTab, 0, 0, 0);
  keybd_event(VkShift, 0, KeyEventKeyUp, 0);
  EXPECT_EQ(r.keys, (std::vector<int>{0x09, 0x109}));
}

}  // namespace
}  // namespace os
