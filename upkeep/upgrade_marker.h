// The marker of an upgrade in progress: a small file beside the data file ("<name>.upk")
// naming the backup, written before the old file is set aside and removed after the last step.
// While it stands the data file itself may be half converted; the backup holds the whole old
// data. Once the new file is complete and closed the marker is rewritten as finished, so that
// from then on the new file counts and the backup is only left to remove.
//
// A conversion of a local file into a SQL table writes the same marker, in the current folder
// under the table's name; the table is then what may be half filled.
//
// ds_FileOpen settles a marker left by an interrupted run before it opens the file: an
// unfinished upgrade puts the backup back under the name the old file had (the upgrade then
// runs again); when that is another file's name (an old data file converted into this one, or
// a local file into a SQL table), the half-written file or table under this file's name is
// removed first. A finished one removes the backup unless it is to be kept. Every step is a
// rename, a removal or a whole-file replacement, so a crash during the settling leaves a marker
// that settles the same way at the next open. A marker whose upgrade is still running holds a
// lock (upgrade_marker_lock.h) and is not settled.
//
// Before the SQL table of such a conversion is created, the open writes the marker without a
// backup (pending_conversion.h); the conversion's own marker replaces it before the first record
// is written, so that the table it guards holds no record of the old file.
//
// Backup names are numbered and may be taken again by a later upgrade of another file once the
// name is free, while a marker left by a crash still names it. The marker therefore records the
// identity (device, inode and modification time) of the file that is to stand under the backup's
// name: the old file's before it is set aside (a rename keeps it), the backup's own once a copy
// made it. A file of another identity under that name is never put back nor removed by the
// settling, but for a copy of the old file that a crash kept the marker from naming while the old
// file still stands (byte for byte, but for the header counters a database copy writes anew).
#pragma once

#include <string>
#include <string_view>

#include "platform/files/file_declaration.h"

namespace upkeep {

struct UpgradeMarker {
  std::string backupName;      // the backup's name, absolute; empty: no backup named yet
  bool finished = false;       // the new file is complete
  bool keepBackup = false;     // the backup stays after the upgrade
  std::string sourceName;      // the old file's own name, absolute; empty: the data file's name
  std::string backupIdentity;  // fileIdentity() of the backup; empty: not recorded
};

// The identity of the file named `fileName` (a completed name, below) as
// "device:inode:modification time";
// empty when it does not exist or names a table inside a data file.
std::string fileIdentity(std::string_view fileName);

// True unless a rename of the file `fileName` to `newName` (completed names) would cross file
// systems, where the move is a copy under a new identity followed by the old file's removal.
// Table names inside data files and names that cannot be looked at answer true.
bool renameKeepsIdentity(std::string_view fileName, std::string_view newName);

// `fileName` as a name that stands for the same file whatever the current directory: made
// absolute, and for the Caskfile driver completed with its default extension. The functions
// below take names in this form.
std::string completedFileName(files::Driver driver, std::string_view fileName);

// The marker file (an operating-system path) of the data file `fileName`.
std::string upgradeMarkerPath(std::string_view fileName);

// Writes the marker of `fileName` whole, flushed to the disk. Answers 0 or the runtime's error.
int writeUpgradeMarker(std::string_view fileName, const UpgradeMarker& marker);

// As writeUpgradeMarker, but only while no marker of `fileName` stands; answers 5 when one does.
int createUpgradeMarker(std::string_view fileName, const UpgradeMarker& marker);

// Removes the marker of `fileName`.
void removeUpgradeMarker(std::string_view fileName);

// True when a marker of `fileName` stands.
bool upgradeMarkerStands(std::string_view fileName);

// Settles what an interrupted upgrade of `fileName` left behind, as described above; nothing
// when there is no marker. `table` is the declaration of a SQL table that a conversion was
// filling under `fileName` (closed), nullptr for a data file: an unfinished conversion drops
// the table, so that the next open converts the old file again (one without a backup only while
// the table holds no record and the old file stands). A step that fails leaves the
// marker for the next open. Leaves the calling thread's error state cleared. Answers false
// while a marker still stands (its upgrade runs, or it could not be settled): what stands under
// `fileName` may then be half converted.
bool settleInterruptedUpgrade(std::string_view fileName, files::FileDeclaration* table = nullptr);

}  // namespace upkeep
