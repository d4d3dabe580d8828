#include "upkeep/upgrade_marker.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <utility>
#include <vector>

#include "platform/files/cask_data_file.h"
#include "platform/files/cask_name.h"
#include "platform/files/file_driver.h"
#include "platform/files/file_ops.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/paths.h"
#include "platform/runtime/text.h"
#include "platform/runtime/whole_file.h"
#include "upkeep/debug_switches.h"
#include "upkeep/trace.h"
#include "upkeep/upgrade_marker_lock.h"

namespace upkeep {
namespace {

constexpr std::string_view kFinished = "finished";
constexpr std::string_view kInProgress = "in progress";
constexpr int kReadWriteDenyWrite = 0x22;

void detail(const std::string& text) {
  if (debugLevels().detailTrace) WriteTrace(text);
}

// The marker's lines: the state, "keep" or "remove", the backup's name, the old file's own name
// when it is not the data file's (else empty), and the backup's identity. A marker without the
// fourth line restores to the data file; one without the fifth recorded no identity.
std::string markerText(const UpgradeMarker& marker) {
  std::string text = std::string(marker.finished ? kFinished : kInProgress) + "\n" +
                     (marker.keepBackup ? "keep" : "remove") + "\n" + marker.backupName + "\n";
  if (!marker.sourceName.empty() || !marker.backupIdentity.empty())
    text += marker.sourceName + "\n";
  if (!marker.backupIdentity.empty()) text += marker.backupIdentity + "\n";
  return text;
}

bool readMarker(const std::string& path, UpgradeMarker& marker) {
  std::string text;
  if (runtime::readWholeFile(path, text) != 0) return false;
  const std::size_t first = text.find('\n');
  const std::size_t second = first == std::string::npos ? first : text.find('\n', first + 1);
  const std::size_t third = second == std::string::npos ? second : text.find('\n', second + 1);
  if (third == std::string::npos) return false;
  marker.finished = text.substr(0, first) == kFinished;
  marker.keepBackup = text.substr(first + 1, second - first - 1) == "keep";
  marker.backupName = text.substr(second + 1, third - second - 1);
  const std::size_t fourth = text.find('\n', third + 1);
  if (fourth != std::string::npos) marker.sourceName = text.substr(third + 1, fourth - third - 1);
  const std::size_t fifth = fourth == std::string::npos ? fourth : text.find('\n', fourth + 1);
  if (fifth != std::string::npos)
    marker.backupIdentity = text.substr(fourth + 1, fifth - fourth - 1);
  return !marker.backupName.empty() || (!marker.finished && !marker.sourceName.empty());
}

// Puts the backup back under `fileName`; true when the name holds the whole old file again.
// A whole file on the same file system goes back over what stands there in one rename, which
// needs no room on the disk.
bool restoreBackup(const std::string& backup, const std::string& fileName) {
  if (!files::namesTable(backup) && !files::namesTable(fileName) &&
      renameKeepsIdentity(backup, fileName)) {
    const int error = files::replaceNamedFile(backup, fileName);
    return error == 0 || error == runtime::FileNotFoundErr;  // or never set aside
  }
  files::RENAME(backup, fileName);
  int error = runtime::ERRORCODE();
  if (error == runtime::FileNotFoundErr) return true;  // never set aside, or put back already
  if (error != 0) {
    files::REMOVE(fileName);
    error = runtime::ERRORCODE();
    if (error != 0 && error != runtime::FileNotFoundErr) return false;
    files::RENAME(backup, fileName);
    error = runtime::ERRORCODE();
  }
  return error == 0;
}

// True when the file under the backup's name is the one the marker recorded, or none stands
// there, or the marker recorded no identity.
bool backupIsTheMarkers(const UpgradeMarker& marker) {
  if (marker.backupIdentity.empty()) return true;
  const std::string identity = fileIdentity(marker.backupName);
  return identity.empty() || identity == marker.backupIdentity;
}

// Blanks the header fields a copy made through the database engine writes anew (the change
// counter, the schema cookie and the version the counter was valid for) when `chunk`, the start
// of a file, begins a database.
void blankCopyCounters(std::vector<char>& chunk, std::streamsize length) {
  if (length < 100 ||
      std::memcmp(chunk.data(), files::kSqliteMagic, sizeof files::kSqliteMagic) != 0)
    return;
  for (const auto& [from, to] : {std::pair{24, 28}, std::pair{40, 44}, std::pair{92, 100}})
    std::fill(chunk.begin() + from, chunk.begin() + to, '\0');
}

// True when the file named `b` is a copy of the one named `a`: the same bytes, but for the
// counters a database copy keeps of its own.
bool isCopyOf(std::string_view a, std::string_view b) {
  std::ifstream first(runtime::toOsPath(a), std::ios::binary);
  std::ifstream second(runtime::toOsPath(b), std::ios::binary);
  std::vector<char> one(1 << 16);
  std::vector<char> two(one.size());
  for (bool start = true; first && second; start = false) {
    first.read(one.data(), static_cast<std::streamsize>(one.size()));
    second.read(two.data(), static_cast<std::streamsize>(two.size()));
    if (first.gcount() != second.gcount()) return false;
    if (start) {
      blankCopyCounters(one, first.gcount());
      blankCopyCounters(two, second.gcount());
    }
    if (!std::equal(one.begin(), one.begin() + first.gcount(), two.begin())) return false;
  }
  return first.eof() && second.eof();
}

// Settles an unfinished upgrade whose backup's name holds a file the marker did not record.
// When the old file still stands as recorded it was never set aside: a copy of it that the
// crash kept the marker from naming is removed, another upgrade's backup is left. When the old
// file is gone too, nothing is touched and the marker stays.
bool settleUnrecordedBackup(const UpgradeMarker& marker, const std::string& source) {
  if (fileIdentity(source) != marker.backupIdentity) return false;
  if (!isCopyOf(source, marker.backupName)) return true;
  files::REMOVE(marker.backupName);
  return runtime::ERRORCODE() == 0;
}

// Undoes an unfinished upgrade of `fileName`: the backup goes back under the old file's own
// name. When that name is another file's, what stands under `fileName` was made by the upgrade
// and is removed first, and only while the backup is there to go back. A SQL table (`table`)
// was made by the conversion itself and holds nothing but converted records: it is dropped
// whenever the old file stands whole, as the backup or still under its own name.
bool undoUnfinished(const UpgradeMarker& marker, const std::string& fileName,
                    files::FileDeclaration* table) {
  const std::string& source = marker.sourceName.empty() ? fileName : marker.sourceName;
  const bool ours = backupIsTheMarkers(marker);
  if (!ours && !settleUnrecordedBackup(marker, source)) return false;
  const bool backedUp = ours && files::EXISTS(marker.backupName) != 0;
  const bool removable =
      table != nullptr ? backedUp || files::EXISTS(source) != 0 : source != fileName && backedUp;
  if (removable) {
    if (table != nullptr) {
      files::REMOVE(*table);
    } else {
      files::REMOVE(fileName);
    }
    const int error = runtime::ERRORCODE();
    if (error != 0 && error != runtime::FileNotFoundErr) return false;
  }
  return !ours || restoreBackup(marker.backupName, source);
}

// Settles the marker of a conversion into the SQL table `table` that had not yet named its
// backup: no record of the old file can be in the table, since the marker naming the backup
// replaces this one before the first is written. While the old file stands, a table without
// records is dropped, so that the next open creates it and converts again; a table that holds
// records was not made under this marker (its creation failed on a table already there) and
// stays. Without the old file there is nothing to convert and the table stays too.
bool settleBeforeBackup(const UpgradeMarker& marker, files::FileDeclaration* table) {
  if (table == nullptr || files::EXISTS(marker.sourceName) == 0) return true;
  files::OPEN(*table, kReadWriteDenyWrite);
  int error = runtime::ERRORCODE();
  if (error == runtime::FileNotFoundErr) return true;
  if (error != 0) return false;
  const std::int64_t records = files::RECORDS(*table);
  error = runtime::ERRORCODE();
  files::CLOSE(*table);
  if (error != 0) return false;
  if (records != 0) return true;
  files::REMOVE(*table);
  error = runtime::ERRORCODE();
  return error == 0 || error == runtime::FileNotFoundErr;
}

}  // namespace

std::string completedFileName(files::Driver driver, std::string_view fileName) {
  std::string name = runtime::CLIP(fileName);
  if (name.empty() || (name[0] != '/' && name[0] != '\\'))
    name = runtime::currentDirectory() + "/" + name;
  if (driver != files::Driver::Caskfile) return name;
  const files::CaskName cask = files::parseCaskName(name);
  return cask.table.empty() ? cask.file : cask.file + "\\!" + cask.table;
}

std::string fileIdentity(std::string_view fileName) {
  if (fileName.find("\\!") != std::string_view::npos) return {};
  struct stat status {};
  if (stat(runtime::toOsPath(fileName).c_str(), &status) != 0) return {};
  // The modification time tells a file apart from a later one that was given a freed inode.
  return std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino) + ":" +
         std::to_string(status.st_mtim.tv_sec) + "." + std::to_string(status.st_mtim.tv_nsec);
}

bool renameKeepsIdentity(std::string_view fileName, std::string_view newName) {
  if (fileName.find("\\!") != std::string_view::npos ||
      newName.find("\\!") != std::string_view::npos)
    return true;
  const std::string target = runtime::toOsPath(newName);
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  struct stat file {};
  struct stat into {};
  if (stat(runtime::toOsPath(fileName).c_str(), &file) != 0 || stat(folder.c_str(), &into) != 0)
    return true;
  return file.st_dev == into.st_dev;
}

std::string upgradeMarkerPath(std::string_view fileName) {
  std::string name(fileName);
  for (std::size_t at = name.find("\\!"); at != std::string::npos; at = name.find("\\!"))
    name.erase(at, 1);
  return runtime::toOsPath(name) + ".upk";
}

int writeUpgradeMarker(std::string_view fileName, const UpgradeMarker& marker) {
  return runtime::replaceWholeFile(upgradeMarkerPath(fileName), markerText(marker));
}

int createUpgradeMarker(std::string_view fileName, const UpgradeMarker& marker) {
  return runtime::createWholeFile(upgradeMarkerPath(fileName), markerText(marker));
}

void removeUpgradeMarker(std::string_view fileName) { unlink(upgradeMarkerPath(fileName).c_str()); }

bool upgradeMarkerStands(std::string_view fileName) {
  return access(upgradeMarkerPath(fileName).c_str(), F_OK) == 0;
}

bool settleInterruptedUpgrade(std::string_view fileName, files::FileDeclaration* table) {
  if (!upgradeMarkerStands(fileName)) return true;
  const std::string path = upgradeMarkerPath(fileName);
  UpgradeMarkerLock lock;
  if (!lock.acquire(path, false)) {
    detail("Upkeep: upgrade marker in use by a running upgrade, left alone: " + path);
    runtime::clearError();
    return !upgradeMarkerStands(fileName);
  }
  UpgradeMarker marker;
  const std::string name(fileName);
  bool settled = false;
  if (!readMarker(path, marker)) {
    detail("Upkeep: unreadable upgrade marker left in place: " + path);
  } else if (marker.finished) {
    if (!marker.keepBackup && backupIsTheMarkers(marker)) files::REMOVE(marker.backupName);
    detail("Upkeep: finished upgrade settled: " + name);
    settled = true;
  } else if (marker.backupName.empty() ? settleBeforeBackup(marker, table)
                                       : undoUnfinished(marker, name, table)) {
    detail("Upkeep: interrupted upgrade undone, old file put back: " + name);
    settled = true;
  } else {
    detail("Upkeep: interrupted upgrade could not be undone yet: " + name + " " + runtime::ERROR());
  }
  if (settled) removeUpgradeMarker(fileName);
  runtime::clearError();
  return settled;
}

}  // namespace upkeep
