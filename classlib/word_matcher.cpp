#include "classlib/word_matcher.h"

namespace classlib {

void WordMatcher::init() {
  runtime::CriticalSectionGuard guard(lock_);
  initialised_ = true;
  ignoreCase_ = 0;
  wholeWords_ = 0;
}

bool WordMatcher::setOption(int option, int value) {
  runtime::CriticalSectionGuard guard(lock_);
  if (!initialised_ || (value != 0 && value != 1)) return false;
  switch (option) {
    case IgnoreCaseOption: ignoreCase_ = value; return true;
    case WholeWordsOption: wholeWords_ = value; return true;
    default: return false;
  }
}

int WordMatcher::option(int option) const {
  runtime::CriticalSectionGuard guard(lock_);
  switch (option) {
    case IgnoreCaseOption: return ignoreCase_;
    case WholeWordsOption: return wholeWords_;
    default: return 0;
  }
}

void WordMatcher::kill() {
  runtime::CriticalSectionGuard guard(lock_);
  initialised_ = false;
  ignoreCase_ = 0;
  wholeWords_ = 0;
}

bool WordMatcher::initialised() const {
  runtime::CriticalSectionGuard guard(lock_);
  return initialised_;
}

}  // namespace classlib
