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
// Until the conversion is built, every file is left unchanged.
void ds_UpgradeFileEx(files::FileDeclaration& file, std::int32_t flags);

// ds_UpgradeFileEx(file, 0), between an in/out trace on entry and on exit. Tells the call
// recorder first (call_recorder.h), so tests see each upgrade ds_FileOpen asks for.
void ds_UpgradeFile(files::FileDeclaration& file);

}  // namespace upkeep
