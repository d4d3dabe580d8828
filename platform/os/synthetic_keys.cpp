#include "platform/os/synthetic_keys.h"

#include <mutex>
#include <utility>

namespace os {
namespace {

std::mutex sinkMutex;
KeySink& sinkSlot() {
  static KeySink sink;
  return sink;
}

// The runtime's modifier bits of the keys held down on this thread.
thread_local int heldModifiers = 0;

int modifierBit(int virtualKey) {
  switch (virtualKey) {
    case VkShift: return 0x100;
    case VkControl: return 0x200;
    case VkMenu: return 0x400;
    default: return 0;
  }
}

}  // namespace

void keybd_event(int virtualKey, int, unsigned flags, std::uintptr_t) {
  const bool up = (flags & KeyEventKeyUp) != 0;
  if (const int bit = modifierBit(virtualKey)) {
    heldModifiers = up ? heldModifiers & ~bit : heldModifiers | bit;
    return;
  }
  if (up) return;
  KeySink sink;
  {
    std::lock_guard lock(sinkMutex);
    sink = sinkSlot();
  }
  // Called outside the lock: the sink may type further keys.
  if (sink) sink((virtualKey & 0xFF) | heldModifiers);
}

KeySink setKeySink(KeySink sink) {
  std::lock_guard lock(sinkMutex);
  return std::exchange(sinkSlot(), std::move(sink));
}

bool hasKeySink() {
  std::lock_guard lock(sinkMutex);
  return static_cast<bool>(sinkSlot());
}

}  // namespace os
