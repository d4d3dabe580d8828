// ds_FileOpen: the one way files are opened in this system. The class library's file managers,
// view managers and error log call it where they would otherwise OPEN the file themselves.
//
// A managed file (a name, a registered driver) whose open fails because the file on disk does
// not match its declaration, or is missing, is handed to the upgrade (ds_UpgradeFile) and opened
// again; a SQL table is handed to the SQL table management. Files without a name, listed as
// ignored, of an unregistered driver, and VIEWs are opened plainly. Two conditions are fatal: a
// file system error (90, unless /upkept90 is given) and 530 show "Upkeep: " with the catalogue's
// message and the file's name, and end the program with kFatalOpenExitCode, the file untouched.
#pragma once

#include <cstdint>

#include "platform/runtime/message.h"

namespace files {
class FileDeclaration;
class FileView;
}  // namespace files

namespace upkeep {

// The exit code of a program ended by a fatal open.
inline constexpr int kFatalOpenExitCode = runtime::kStopAbortExitCode;

// Opens `file` with `accessMode` (the runtime's OPEN mode: 22h read/write deny write, 42h
// read/write deny none, 12h read/write deny all, ...). No result: on return the runtime's error
// code holds the outcome (0 = open, 52 = it was open already). Holds the upgrade manager's
// process-wide lock for its whole run, with UPK_Upgrading at 1 meanwhile.
//
// Errors 2, 30, 47 and 88 (and 46 with /upkept46, 90 with /upkept90): the file is upgraded and
// opened again, so the caller sees the second open's outcome. 36: the file is upgraded and the
// caller sees 36 unless the upgrade left it open. Any other error reaches the caller as it is.
void ds_FileOpen(files::FileDeclaration& file, int accessMode);
// The same for a VIEW, which is always opened plainly (with its primary file).
void ds_FileOpen(files::FileView& view, int accessMode);

}  // namespace upkeep
