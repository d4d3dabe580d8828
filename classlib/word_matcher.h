// The word matcher: the process-wide settings of word searches, whether letter case is ignored
// and whether only whole words match. The program keeps one instance for the whole run.
#pragma once

#include "platform/runtime/thread.h"

namespace classlib {

// The options of the word matcher, by their numbers.
enum WordMatcherOption : int {
  IgnoreCaseOption = 1,
  WholeWordsOption = 2,
};

class WordMatcher {
 public:
  WordMatcher() = default;
  WordMatcher(const WordMatcher&) = delete;
  WordMatcher& operator=(const WordMatcher&) = delete;

  // Starts the matcher with both options at 0.
  void init();
  // Sets option `option` (IgnoreCaseOption or WholeWordsOption) to `value`, 0 or 1. Returns false
  // and changes nothing for another option number or value, or before init.
  bool setOption(int option, int value);
  // The value of `option`; 0 for an unknown option or a matcher that is not initialised.
  int option(int option) const;
  // Ends the matcher: its options go back to 0 until the next init.
  void kill();
  // True between init and kill.
  bool initialised() const;

 private:
  mutable runtime::CriticalSection lock_;
  bool initialised_ = false;
  int ignoreCase_ = 0;
  int wholeWords_ = 0;
};

}  // namespace classlib
