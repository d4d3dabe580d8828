// A test window that holds every kind of control, with its variables, and a runner that drives
// it through a headless script and records the events its ACCEPT loop hands out.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/runtime/message.h"
#include "platform/window/dialogs.h"
#include "platform/window/engine.h"
#include "platform/window/headless_backend.h"

namespace window {
// Prints an event as "Accepted 5" in test failures.
void PrintTo(const EventRecord& e, std::ostream* os);
}  // namespace window

namespace window::testing {

inline constexpr const char* kTestKey = "test$test001";
inline constexpr const char* kTestLabel = "P1$WINDOW";

// Control numbers of the test window.
enum TestControl : int {
  kMenuFile = 1,
  kItemOpen = 2,
  kItemExit = 3,
  kNamePrompt = 4,
  kNameEntry = 5,
  kCountEntry = 6,
  kActiveCheck = 7,
  kIdeOption = 8,
  kClassicRadio = 9,
  kStudioRadio = 10,
  kSheet = 11,
  kTabOne = 12,
  kList = 13,
  kTabTwo = 14,
  kNotesText = 15,
  kLineText = 16,
  kOkButton = 17,
  kCancelButton = 18,
  kNameString = 19,
  kProgress = 20,
  kRegion = 21,
  kImage = 22,
  kLine = 23,
  kBox = 24,
  kGroup = 25,
  kSpin = 26,
  kDrop = 27,
  kCombo = 28,
  kPanel = 29,
};

struct TestVars {
  char name[21];        // CSTRING(21)
  std::int32_t count;   // LONG
  std::uint8_t active;  // BYTE, 1 or 0
  char ide[20];         // CSTRING(20): the option's value
  char notes[100];      // STRING(100)
  char line[40];        // CSTRING(40)
  std::int32_t spin;
  char colour[10];  // CSTRING(10)
  char combo[10];   // CSTRING(10)
};

// The variables the test window's controls use; reset() clears them.
TestVars& vars();
void reset();

// Registers the test window (once per process).
void registerTestWindow();

// The rows of the test window's list: name, count, the icon column's value, icon number.
ListSource& testRows();

// What the procedure does besides recording: called for every event with the window current.
using Handler = std::function<void(Window&)>;

// Opens the test window under `backend`, runs its ACCEPT loop to the end and answers the
// events it handed out. Accepted OK posts CloseWindow; `handler` sees every event first.
std::vector<EventRecord> runTestWindow(HeadlessBackend& backend, const Handler& handler = {});

// Installs a backend, and the message boxes it draws, for the life of the object.
class BackendScope {
 public:
  explicit BackendScope(Backend& b)
      : previous_(setBackend(&b)), answerer_(runtime::setMessageAnswerer(&backendAnswerer())) {}
  ~BackendScope() {
    runtime::setMessageAnswerer(answerer_);
    setBackend(previous_);
  }
  BackendScope(const BackendScope&) = delete;
  BackendScope& operator=(const BackendScope&) = delete;

 private:
  Backend* previous_;
  runtime::MessageAnswerer* answerer_;
};

// "Accepted 5", for readable failures.
std::string describeEvents(const std::vector<EventRecord>& events);

}  // namespace window::testing
