#include "platform/window/dialogs.h"

#include <filesystem>
#include <system_error>

#include "platform/window/engine.h"

namespace window {

int messageBox(MessageBoxRequest box) {
  for (std::size_t bar = box.text.find('|'); bar != std::string::npos;
       bar = box.text.find('|', bar + 1)) {
    box.text[bar] = '\n';
  }
  if (box.buttons == 0) box.buttons = 1;
  if ((box.defaultButton & box.buttons) == 0 || (box.defaultButton & (box.defaultButton - 1))) {
    box.defaultButton = box.buttons & -box.buttons;  // the lowest of its buttons
  }
  const int answer = backend().messageBox(box);
  const bool oneOfThem =
      answer > 0 && (answer & box.buttons) == answer && (answer & (answer - 1)) == 0;
  return oneOfThem ? answer : box.defaultButton;
}

std::optional<std::string> fileDialog(const FileDialogRequest& request, bool restoreDirectory) {
  std::error_code ec;
  const std::filesystem::path saved = std::filesystem::current_path(ec);
  const bool haveSaved = !ec;
  std::optional<std::string> chosen = backend().fileDialog(request);
  if (restoreDirectory && haveSaved) std::filesystem::current_path(saved, ec);
  return chosen;
}

PopupRequest parsePopup(std::string_view text) {
  PopupRequest request;
  int number = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t bar = text.find('|', start);
    std::string_view item = text.substr(start, bar == std::string_view::npos ? bar : bar - start);
    PopupItem p;
    if (item == "-") {
      p.line = true;
    } else {
      while (!item.empty() && (item.front() == '~' || item.front() == '+' || item.front() == '-')) {
        if (item.front() == '~') p.disabled = true;
        if (item.front() == '+') p.checked = true;
        item.remove_prefix(1);
      }
      p.text = item;
      p.number = ++number;
    }
    request.items.push_back(std::move(p));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  if (text.empty()) request.items.clear();
  return request;
}

int POPUP(std::string_view text, int x, int y) {
  Window* w = currentWindow();
  if (!w) return 0;
  PopupRequest request = parsePopup(text);
  request.x = x;
  request.y = y;
  const int chosen = backend().popupMenu(*w, request);
  for (const PopupItem& item : request.items) {
    if (!item.line && item.number == chosen) return item.disabled ? 0 : chosen;
  }
  return 0;
}

void PendingEvents() { backend().processPending(); }

}  // namespace window
