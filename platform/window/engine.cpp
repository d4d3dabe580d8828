#include "platform/window/engine.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "platform/window/properties.h"

namespace window {
namespace {

// The backend used until one is installed: no screen at all.
class NoScreenBackend : public Backend {
 public:
  void windowOpened(Window&) override {}
  void windowClosed(Window&) override {}
  void windowEnabled(Window&, bool) override {}
  void controlChanged(Window&, int, unsigned) override {}
  void focusChanged(Window&, int) override {}
  void timerChanged(Window&, int) override {}
  void waitForInput(Window& w) override {
    throw std::logic_error("no window backend is installed: " + w.describe() +
                           " cannot wait for input");
  }
  void deliverKey(Window&, int, int) override {}
  void processPending() override {}
  int messageBox(const runtime::MessageRequest& box) override { return box.defaultButton; }
  std::optional<std::string> fileDialog(const FileDialogRequest&) override { return std::nullopt; }
  int popupMenu(Window&, const PopupRequest&) override { return 0; }
  void applicationIconChanged(std::string_view) override {}
  void openMenuBar(Window&) override {}
};

NoScreenBackend noScreen;
std::atomic<Backend*> installed{nullptr};
std::atomic<int> nextWindowId{1};

std::mutex systemMutex;
std::string systemIcon;

thread_local std::vector<std::unique_ptr<Window>> stack;

}  // namespace

Backend* setBackend(Backend* b) { return installed.exchange(b); }

Backend& backend() {
  Backend* b = installed.load();
  return b ? *b : noScreen;
}

InstalledBackend::InstalledBackend(Backend& backend)
    : previous_(setBackend(&backend)), windows_(openWindows()) {}

InstalledBackend::~InstalledBackend() {
  while (openWindows() > windows_) CLOSE();
  setBackend(previous_);
}

Window& OPEN(std::string_view key, std::string_view label) {
  const WindowDefinition* definition = resources().find(key, label);
  if (!definition) {
    throw std::invalid_argument("no window resource " + std::string(key) + " " +
                                std::string(label));
  }
  auto w = std::make_unique<Window>(*definition, backend(), nextWindowId++);
  if (!stack.empty()) stack.back()->setEnabled(false);
  stack.push_back(std::move(w));
  Window& opened = *stack.back();
  opened.opened();
  return opened;
}

void CLOSE() {
  if (stack.empty()) return;
  std::unique_ptr<Window> w = std::move(stack.back());
  stack.pop_back();
  if (w->timer() > 0) backend().timerChanged(*w, 0);
  backend().windowClosed(*w);
  w.reset();
  if (!stack.empty()) stack.back()->setEnabled(true);
}

Window* currentWindow() { return stack.empty() ? nullptr : stack.back().get(); }

int openWindows() { return static_cast<int>(stack.size()); }

namespace {

Window& requireWindow(const char* statement) {
  Window* w = currentWindow();
  if (!w) throw std::logic_error(std::string(statement) + " without an open window");
  return *w;
}

}  // namespace

bool ACCEPT() {
  Window* w = currentWindow();
  return w && w->accept();
}

void DISPLAY(int first, int last) { requireWindow("DISPLAY").display(first, last); }
void UPDATE(int first, int last) { requireWindow("UPDATE").update(first, last); }
void SELECT(int control) { requireWindow("SELECT").select(control); }
void ENABLE(int first, int last) { requireWindow("ENABLE").enable(first, last); }
void DISABLE(int first, int last) { requireWindow("DISABLE").disable(first, last); }
void HIDE(int first, int last) { requireWindow("HIDE").hide(first, last); }
void UNHIDE(int first, int last) { requireWindow("UNHIDE").unhide(first, last); }
void POST(int event, int control) { requireWindow("POST").post(event, control); }
void CHANGE(int control, const Value& value) { requireWindow("CHANGE").change(control, value); }
int CREATE(int number, ControlType type, int parent) {
  return requireWindow("CREATE").create(number, type, parent);
}
void SETPOSITION(int control, int x, int y, int width, int height) {
  requireWindow("SETPOSITION").setPosition(control, x, y, width, height);
}
void PRESSKEY(int key) { requireWindow("PRESSKEY").pressKey(key); }

namespace {

// A function of the current event of the current window; 0 when no window is open.
template <class F>
int ofCurrent(F f) {
  const Window* w = currentWindow();
  return w ? f(*w) : 0;
}

}  // namespace

int EVENT() {
  return ofCurrent([](const Window& w) { return w.current().event; });
}
int ACCEPTED() {
  return ofCurrent([](const Window& w) { return w.accepted(); });
}
int FIELD() {
  return ofCurrent([](const Window& w) { return w.current().control; });
}
int KEYCODE() {
  return ofCurrent([](const Window& w) { return w.current().keyCode; });
}
int CHOICE(int control) {
  return ofCurrent([control](const Window& w) { return w.choice(control); });
}
int FIRSTFIELD() {
  return ofCurrent([](const Window& w) { return w.firstField(); });
}
int LASTFIELD() {
  return ofCurrent([](const Window& w) { return w.lastField(); });
}
int MOUSEX() {
  return ofCurrent([](const Window& w) { return w.current().mouseX; });
}
int MOUSEY() {
  return ofCurrent([](const Window& w) { return w.current().mouseY; });
}

std::string getProperty(int target, int prop, int index) {
  const Window* w = currentWindow();
  return w ? w->property(target, prop, index) : std::string();
}
bool setProperty(int target, int prop, std::string_view value, int index) {
  Window* w = currentWindow();
  return w && w->setProperty(target, prop, value, index);
}
bool setProperty(int target, int prop, int value, int index) {
  Window* w = currentWindow();
  return w && w->setProperty(target, prop, value, index);
}

std::string systemProperty(int prop) {
  std::lock_guard lock(systemMutex);
  return prop == PropIcon ? systemIcon : std::string();
}

void setSystemProperty(int prop, std::string_view value) {
  if (prop != PropIcon) return;
  {
    std::lock_guard lock(systemMutex);
    systemIcon = value;
  }
  backend().applicationIconChanged(value);
}

}  // namespace window
