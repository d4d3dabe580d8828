// The USE of a control that shows a field of a dictionary file's record: bound to the record
// buffer of whichever thread runs the window, since every thread has its own buffers while the
// window resources are declared once for the process.
#pragma once

#include "platform/files/file_declaration.h"
#include "platform/window/use_variable.h"

namespace app {

// Field `field` (1-based) of `file`'s record, in the calling thread's buffer at each read and
// write.
window::UseVariable recordUse(const files::PerThreadFile& file, int field);

}  // namespace app
