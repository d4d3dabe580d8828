// The upgrade of one registered data file whose stored structure no longer matches its
// declaration. Called only by ds_FileOpen, under the engine's lock, after an open failed;
// ds_FileOpen opens the file again afterwards.
#pragma once

#include <cstdint>

namespace files {
class FileDeclaration;
}

namespace upkeep {

// Converts the closed `file` in place when one of its stored structures opens the file on disk,
// and otherwise leaves it unchanged; reports its failures to the user (STOP), never to the
// caller. Bit 0 of `flags`: refresh (records added with their keys, no key build).
//
// The old file is set aside as a backup (a marker beside the file names it first), the file is
// created anew, every record is copied through the record copy inside transactions committed
// every 10000 records, and the keys are built. Every failure after the backup puts the old file
// back, except a shortfall of the copy itself (records that could not be read or written, a
// failed key build), which keeps the new file and the backup and names the backup to the user.
// A completed upgrade is logged in UPKQ.
void ds_UpgradeFileEx(files::FileDeclaration& file, std::int32_t flags);

// ds_UpgradeFileEx(file, 0), between an in/out trace on entry and on exit. Tells the call
// recorder first (call_recorder.h), so tests see each upgrade ds_FileOpen asks for.
void ds_UpgradeFile(files::FileDeclaration& file);

}  // namespace upkeep
