// Controls that show fields and memos of the calling thread's record buffer of a FILE: bound
// when the window opens, since each thread has its own buffer.
#pragma once

#include <span>
#include <string_view>

#include "platform/files/file_declaration.h"
#include "platform/window/window.h"

namespace app {

// A control and the label of the field it shows ("FUN:NAME").
struct FieldControl {
  int control;
  std::string_view label;
};

// Binds each control to its field of `file`'s record buffer; every label must be a field of
// the file.
void bindRecordFields(window::Window& w, files::FileDeclaration& file,
                      std::span<const FieldControl> fields);

// Binds `control` to memo `memo` (1-based) of `file` as a text.
void bindRecordMemo(window::Window& w, int control, files::FileDeclaration& file, int memo);

}  // namespace app
