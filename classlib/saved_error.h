// Keeps the calling thread's error state across work that must not change what the caller
// reads from ERRORCODE, ERROR, FILEERRORCODE and FILEERROR afterwards.
#pragma once

#include <string>

#include "platform/runtime/error_state.h"

namespace classlib {

// The calling thread's error state when made, put back when it goes out of scope.
class SavedError {
 public:
  SavedError()
      : code_(runtime::ERRORCODE()),
        fileCode_(runtime::FILEERRORCODE()),
        fileText_(runtime::FILEERROR()) {}
  ~SavedError() { runtime::setFileError(code_, fileCode_, fileText_); }
  SavedError(const SavedError&) = delete;
  SavedError& operator=(const SavedError&) = delete;

 private:
  int code_;
  std::string fileCode_;
  std::string fileText_;
};

}  // namespace classlib
