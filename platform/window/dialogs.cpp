#include "platform/window/dialogs.h"

#include <filesystem>
#include <system_error>

#include "platform/window/engine.h"

namespace window {

namespace {

class BackendAnswerer : public runtime::MessageAnswerer {
 public:
  int answer(const runtime::MessageRequest& box) override { return backend().messageBox(box); }
};

}  // namespace

runtime::MessageAnswerer& backendAnswerer() {
  static BackendAnswerer answerer;
  return answerer;
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
