#include "classlib/auto_size_columns.h"

#include "platform/window/engine.h"

namespace classlib {

void AutoSizeColumns::remember(int control) {
  const window::Window* w = window::currentWindow();
  const window::Control* c = w ? w->control(control) : nullptr;
  if (!c || c->type != window::ControlType::List) return;
  Fitted& f = lists_[control];
  f.width = c->at.width;
  f.applied = c->at.width;
  f.columns.clear();
  for (const window::ListColumn& column : c->list.format.columns) f.columns.push_back(column.width);
}

void AutoSizeColumns::addList(int control) { remember(control); }

int AutoSizeColumns::takeEvent() {
  window::Window* w = window::currentWindow();
  if (!w) return 0;
  const window::EventRecord& e = w->current();
  if (e.event == window::EventColumnResized && lists_.count(e.control)) {
    remember(e.control);
    return 1;
  }
  for (auto& [control, fitted] : lists_) {
    const window::Control* c = w->control(control);
    if (!c || c->at.width == fitted.applied || fitted.width <= 0) continue;
    window::ListFormat format = c->list.format;
    if (format.columns.size() != fitted.columns.size()) {
      remember(control);  // the format was replaced: keep what it is now
      continue;
    }
    for (std::size_t i = 0; i < format.columns.size(); ++i) {
      if (!format.columns[i].resizable) continue;
      format.columns[i].width =
          static_cast<int>(static_cast<long long>(fitted.columns[i]) * c->at.width / fitted.width);
    }
    fitted.applied = c->at.width;
    w->setProperty(control, window::PropFormat, format.text());
  }
  return 0;
}

}  // namespace classlib
