// The settling of an upgrade marker left by a crash when the backup's name has since been taken
// by another file: backup names are numbered and reused, so only the file the marker recorded
// may be put back or removed.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "tests/support/scratch_folder.h"
#include "tests/upkeep/engine_fixture.h"
#include "tests/upkeep/upgrade_fixture.h"
#include "upkeep/upgrade_marker.h"

namespace upkeep {
namespace {

using support::readFile;
using support::writeFile;

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
    {"no backup named yet: nothing is put back or removed",
     [](const Place& at) {
       writeFile(at.backup, "other");
       return UpgradeMarker{{}, false, false, at.data, {}};
     },
     "old", "other", true},
    {"neither a backup nor an old file named: the marker cannot be read and stays",
     [](const Place& at) {
       writeFile(at.backup, "other");
       return UpgradeMarker{};
     },
     "old", "other", false},
};

class UpgradeMarkerTest : public testing::EngineTest {};

TEST_F(UpgradeMarkerTest, OnlyTheRecordedBackupIsPutBackOrRemoved) {
  for (const MarkerCase& c : kCases) {
    SCOPED_TRACE(c.what);
    support::ScratchFolder scratch;
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

// A data file is copied through the database engine, which gives the copy header counters of its
// own. Such a copy of the old file, left unnamed by a crash, is still the old file's and goes;
// a copy whose records differ stays.
class UpgradeMarkerDataCopyTest : public testing::UpgradeTest {
 protected:
  // Removes the last record of `file`, as a commit of its own.
  void removeLastRecord(files::FileDeclaration& file) {
    files::OPEN(file, 0x12);
    files::SET(file);
    files::PREVIOUS(file);
    files::DELETE(file);
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
    files::CLOSE(file);
  }
};

TEST_F(UpgradeMarkerDataCopyTest, OnlyACopyHoldingTheOldRecordsIsRemoved) {
  for (const bool recordsDiffer : {false, true}) {
    SCOPED_TRACE(recordsDiffer ? "a copy whose records differ" : "a copy of the old file");
    writeOldProjects(20);
    removeLastRecord(oldProjects);  // the file's counters move on past a fresh file's
    const std::string data = completedFileName(files::Driver::Caskfile, "projects.aaa");
    const std::string backup = completedFileName(files::Driver::Caskfile, "dstmp001.VKF");
    files::REMOVE("dstmp001.VKF");
    files::COPY("projects.aaa", "dstmp001.VKF");
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
    if (recordsDiffer) {
      files::FileDeclaration copy(testing::kOldProjectsSpec);
      copy.setName("dstmp001.VKF");
      removeLastRecord(copy);
    }
    ASSERT_EQ(writeUpgradeMarker(data, {backup, false, false, {}, fileIdentity(data)}), 0);

    EXPECT_TRUE(settleInterruptedUpgrade(data));
    EXPECT_EQ(files::EXISTS("dstmp001.VKF") != 0, recordsDiffer);
    EXPECT_FALSE(files::EXISTS("projects.aaa.upk"));
    expectOld(19);
  }
}

}  // namespace
}  // namespace upkeep
