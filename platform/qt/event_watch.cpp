#include "platform/qt/event_watch.h"

#include <algorithm>

namespace qtui {

EventWatch::EventWatch(QObject* watched, std::initializer_list<QEvent::Type> types,
                       std::function<void()> seen)
    : QObject(watched), types_(types), seen_(std::move(seen)) {
  watched->installEventFilter(this);
}

bool EventWatch::eventFilter(QObject*, QEvent* event) {
  if (std::find(types_.begin(), types_.end(), event->type()) != types_.end()) seen_();
  return false;
}

}  // namespace qtui
