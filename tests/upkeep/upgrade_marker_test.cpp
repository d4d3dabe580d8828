// The settling of an upgrade marker left by a crash when the backup's name has since been taken
// by another file: backup names are numbered and reused, so only the file the marker recorded
// may be put back or removed.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/files/file_driver.h"
#include "tests/runtime/scratch_folder.h"
#include "tests/upkeep/engine_fixture.h"
#include "upkeep/upgrade_marker.h"

namespace upkeep {
namespace {

using runtime::testing::readFile;
using runtime::testing::writeFile;

constexpr const char* kMissing = "(missing)";

struct Place {
  std::string data;
  std::string backup;
};

struct MarkerCase {
  const char* what;
  // Leaves the files as a crash would and answers the marker that stands beside the data file.
  std::function<UpgradeMarker(const Place&)> crash;
  const char* dataAfter;
  const char* backupAfter;
  bool settled;
};

UpgradeMarker inProgress(const Place& at, std::string identity) {
  return {at.backup, false, false, {}, std::move(identity)};
}

UpgradeMarker finished(const Place& at) {
  return {at.backup, true, false, {}, fileIdentity(at.backup)};
}

void replaceWith(const std::string& path, const std::string& content) {
  std::filesystem::remove(path);
  writeFile(path, content);
}

const MarkerCase kCases[] = {
    {"old file never set aside, another upgrade's backup under the name",
     [](const Place& at) {
       const UpgradeMarker marker = inProgress(at, fileIdentity(at.data));
       writeFile(at.backup, "other");
       return marker;
     },
     "old", "other", true},
    {"old file set aside, a half new file under its name",
     [](const Place& at) {
       const UpgradeMarker marker = inProgress(at, fileIdentity(at.data));
       std::filesystem::rename(at.data, at.backup);
       writeFile(at.data, "half new");
       return marker;
     },
     "old", kMissing, true},
    {"old file gone, another file under the backup's name",
     [](const Place& at) {
       const UpgradeMarker marker = inProgress(at, fileIdentity(at.data));
       std::filesystem::remove(at.data);
       writeFile(at.backup, "other");
       return marker;
     },
     kMissing, "other", false},
    {"old file copied, the marker not yet naming the copy",
     [](const Place& at) {
       const UpgradeMarker marker = inProgress(at, fileIdentity(at.data));
       std::filesystem::copy_file(at.data, at.backup);
       return marker;
     },
     "old", kMissing, true},
    {"marker naming no identity: the backup goes back",
     [](const Place& at) {
       std::filesystem::rename(at.data, at.backup);
       writeFile(at.data, "half new");
       return inProgress(at, {});
     },
     "old", kMissing, true},
    {"finished, its own backup left",
     [](const Place& at) {
       std::filesystem::rename(at.data, at.backup);
       writeFile(at.data, "new");
       return finished(at);
     },
     "new", kMissing, true},
    {"finished, its backup removed and the name taken by another upgrade's backup",
     [](const Place& at) {
       std::filesystem::rename(at.data, at.backup);
       writeFile(at.data, "new");
       const UpgradeMarker marker = finished(at);
       replaceWith(at.backup, "other");
       return marker;
     },
     "new", "other", true},
};

class UpgradeMarkerTest : public testing::EngineTest {};

TEST_F(UpgradeMarkerTest, OnlyTheRecordedBackupIsPutBackOrRemoved) {
  for (const MarkerCase& c : kCases) {
    SCOPED_TRACE(c.what);
    runtime::testing::ScratchFolder scratch;
    const Place at{scratch.file("projects.txt"), scratch.file("dstmp001")};
    writeFile(at.data, "old");
    ASSERT_EQ(writeUpgradeMarker(at.data, c.crash(at)), 0);

    EXPECT_EQ(settleInterruptedUpgrade(at.data), c.settled);

    const auto content = [](const std::string& path) {
      return std::filesystem::exists(path) ? readFile(path) : std::string(kMissing);
    };
    EXPECT_EQ(content(at.data), c.dataAfter);
    EXPECT_EQ(content(at.backup), c.backupAfter);
    EXPECT_EQ(std::filesystem::exists(upgradeMarkerPath(at.data)), !c.settled);
  }
}

}  // namespace
}  // namespace upkeep
