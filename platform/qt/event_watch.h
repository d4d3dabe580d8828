// Calls back when a widget receives events of given types (a page laid out, a header's mouse
// button released), without a class of its own for each widget.
#pragma once

#include <QEvent>
#include <QObject>
#include <functional>
#include <initializer_list>
#include <vector>

namespace qtui {

class EventWatch : public QObject {
 public:
  // Watches `watched` for its life; `seen` runs as such an event arrives, before the widget
  // handles it as usual.
  EventWatch(QObject* watched, std::initializer_list<QEvent::Type> types,
             std::function<void()> seen);
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::vector<QEvent::Type> types_;
  std::function<void()> seen_;
};

}  // namespace qtui
