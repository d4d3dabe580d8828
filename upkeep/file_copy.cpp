#include "upkeep/file_copy.h"

#include <cstdio>

#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/text.h"
#include "upkeep/debug_switches.h"
#include "upkeep/trace.h"

namespace upkeep {
namespace {

// `number` in `digits` digits with leading zeros.
std::string zeroPadded(int number, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", digits, number);
  return text;
}

// Copies, removes or renames `source` (a FILE or a file name) by `mode`.
template <class Source>
void copyRenameRemove(std::int32_t mode, Source& source, std::string_view target) {
  if (mode == kCopyMode) {
    files::COPY(source, target);
  } else if (mode == kRemoveMode) {
    files::REMOVE(source);
  } else {
    files::RENAME(source, target);
  }
}

// The companions' common start: the name up to and with the "." of ".dat", else the name + ".".
std::string companionBase(const std::string& name) {
  const int dat = runtime::INSTRING(".dat", runtime::LOWER(name));
  return dat > 0 ? name.substr(0, static_cast<std::size_t>(dat)) : runtime::CLIP(name) + ".";
}

void moveCompanions(std::int32_t backupNumber, std::int32_t mode, const std::string& action,
                    const std::string& oldName) {
  const std::string base = companionBase(oldName);
  for (int i = 1; i <= 20; ++i) {
    const std::string companion = base + "^" + zeroPadded(i, 2);
    if (!files::EXISTS(companion)) return;
    const std::string moved =
        TempDirectory() + "dstmp" + zeroPadded(backupNumber, 3) + ".^" + zeroPadded(i, 2);
    if (debugLevels().detailTrace) {
      WriteTrace(action + " subfiles(" + std::to_string(i) + "): " + companion + " If exists(" +
                 companion + ") will " + action + " to " + moved);
    }
    copyRenameRemove(mode, companion, moved);
  }
}

}  // namespace

std::string& TempDirectory() {
  static std::string folder;
  return folder;
}

std::int32_t FileCopyRenameRemove(std::int32_t backupNumber, std::int32_t mode,
                                  files::FileDeclaration& file, std::string_view target,
                                  std::string_view driverCode) {
  const std::string action = mode == kCopyMode     ? "Copy  "
                             : mode == kRemoveMode ? "Remove"
                                                   : "Rename";
  const std::string oldName = files::NAME(file);
  copyRenameRemove(mode, file, target);
  const int error = runtime::ERRORCODE();
  if (error != 0 && error != runtime::FileNotFoundErr) {
    if (debugLevels().detailTrace) {
      WriteTrace(action + "Error in file " + ": " + std::to_string(error) + ": " +
                 runtime::ERROR() + " - " + runtime::FILEERRORCODE() + ": " + runtime::FILEERROR() +
                 " :: " + oldName + " - " + std::string(target));
    }
    return error;
  }
  if (debugLevels().detailTrace) {
    WriteTrace(action + "File " + " correct: " + std::string(target) +
               " Driver: " + std::string(driverCode) + " Filename: " + oldName);
  }
  if (runtime::UPPER(runtime::CLIP(driverCode)) == "BTR") {
    moveCompanions(backupNumber, mode, action, oldName);
  }
  return 0;
}

}  // namespace upkeep
