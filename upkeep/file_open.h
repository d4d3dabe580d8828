// ds_FileOpen: the one way files are opened in this system. The class library's file managers,
// view managers and error log call it where they would otherwise OPEN the file themselves.
//
// For now it opens plainly: the upgrade of files whose stored structure differs from their
// declaration is built with the upgrade engine.
#pragma once

#include <cstdint>

namespace files {
class FileDeclaration;
class FileView;
}  // namespace files

namespace upkeep {

// Opens `file` with `accessMode` (the runtime's OPEN mode: 22h read/write deny write, 42h
// read/write deny none, 12h read/write deny all, ...). No result: on return the runtime's error
// code holds the outcome of the open (0 = open, 52 = it was open already). Holds the upgrade
// manager's process-wide lock for its whole run, with UPK_Upgrading at 1 meanwhile.
void ds_FileOpen(files::FileDeclaration& file, int accessMode);
// The same for a VIEW, which is always opened plainly (with its primary file).
void ds_FileOpen(files::FileView& view, int accessMode);

}  // namespace upkeep
