// The quick filter's state shared by the main window and the functions window: one copy for
// the process.
#pragma once

#include "platform/runtime/field_types.h"
#include "platform/runtime/text_types.h"

namespace app {

struct QuickFindShared {
  runtime::String<500> QuickFindText;  // the working text in force; blank at process start
  runtime::Byte QuickFindOn;
  runtime::Byte QuickFindIgnoreCase;
  runtime::Byte QuickFindIncludeMemo;
  runtime::Byte QuickFindHasDigit;  // 1 when QuickFindText holds a digit
};

extern QuickFindShared quickFind;

}  // namespace app
