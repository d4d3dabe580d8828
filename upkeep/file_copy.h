// Copying, renaming and removing a data file together with the companion files its driver keeps
// beside it, for the backup and the clean-up of an upgrade.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace files {
class FileDeclaration;
}

namespace upkeep {

// The modes of FileCopyRenameRemove; any other value renames.
inline constexpr std::int32_t kCopyMode = 1;
inline constexpr std::int32_t kRenameMode = 2;
inline constexpr std::int32_t kRemoveMode = 3;

// `TempDirectory`: the folder of temporary copies, ending in a separator; blank means the
// current folder.
std::string& TempDirectory();

// Copies (mode 1) the closed FILE's file to `target`, removes it (mode 3) or renames it to
// `target` (any other mode). Answers 0 on success and when the file does not exist (error 2),
// else the runtime's error code: an existing target is never replaced (5), so a caller that
// numbers its backups goes on to the next number. With the driver code "BTR" (any case), the
// companions "<base>^01" ... "<base>^20" beside the file, up to the first missing one, go the
// same way, to TempDirectory() + "dstmp" + the backup number in three digits + ".^" + their two
// digits; their results are not tested.
std::int32_t FileCopyRenameRemove(std::int32_t backupNumber, std::int32_t mode,
                                  files::FileDeclaration& file, std::string_view target,
                                  std::string_view driverCode);

}  // namespace upkeep
