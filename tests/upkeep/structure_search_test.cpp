// The search for the structure an existing file was written with: the order in which stored
// versions are tried, /DOWNGRADE, and files that are left alone.
#include "upkeep/structure_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/dictionary/declarations.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/scripted_answerer.h"
#include "platform/runtime/text_types.h"
#include "platform/runtime/whole_file.h"
#include "tests/upkeep/engine_fixture.h"
#include "upkeep/engine_lifecycle.h"
#include "upkeep/file_open.h"
#include "upkeep/registration.h"
#include "upkeep/settings_ini.h"
#include "upkeep/structure_image.h"
#include "upkeep/upg_catalogue.h"
#include "upkeep/upg_file.h"
#include "upkeep/upgrade_log.h"

namespace upkeep {
namespace {

// Four layouts of one "numbers" file, each another record.
struct Short1 {
  runtime::Short VALUE;
};
struct Long1 {
  runtime::Long VALUE;
};
struct Named {
  runtime::Long VALUE;
  runtime::CString<10> NAME;
};
struct Wide {
  runtime::Long VALUE;
  runtime::CString<20> NAME;
};
struct OnDisk {
  runtime::Real VALUE;
  runtime::Long A;
};
constexpr runtime::FieldDef kShortFields[] = {GD_FIELD(Short1, VALUE, "NUM:VALUE")};
constexpr runtime::FieldDef kLongFields[] = {GD_FIELD(Long1, VALUE, "NUM:VALUE")};
constexpr runtime::FieldDef kNamedFields[] = {GD_FIELD(Named, VALUE, "NUM:VALUE"),
                                              GD_FIELD(Named, NAME, "NUM:NAME")};
constexpr runtime::FieldDef kWideFields[] = {GD_FIELD(Wide, VALUE, "NUM:VALUE"),
                                             GD_FIELD(Wide, NAME, "NUM:NAME")};
constexpr runtime::FieldDef kDiskFields[] = {GD_FIELD(OnDisk, VALUE, "NUM:VALUE"),
                                             GD_FIELD(OnDisk, A, "NUM:A")};

template <class Record, std::size_t N>
constexpr files::FileSpec numbers(const runtime::FieldDef (&fields)[N]) {
  return {.label = "numbers",
          .prefix = "NUM",
          .name = "numbers.vkf",
          .create = true,
          .fields = fields,
          .recordSize = sizeof(Record)};
}
constexpr files::FileSpec kVersion0 = numbers<Short1>(kShortFields);
constexpr files::FileSpec kVersion3 = numbers<Long1>(kLongFields);
constexpr files::FileSpec kVersion8 = numbers<Named>(kNamedFields);
constexpr files::FileSpec kVersion9 = numbers<Wide>(kWideFields);
constexpr files::FileSpec kDisk = numbers<OnDisk>(kDiskFields);

class StructureSearchTest : public testing::EngineTest {
 protected:
  StructureSearchTest() {
    SetTranslationIni(settingsIni().substr(settingsIni().rfind('/') + 1));
    // The file on disk, of a layout no stored structure has.
    files::FileDeclaration disk(kDisk);
    files::CREATE(disk);
    files::OPEN(disk, 0x12);
    disk.recordAs<OnDisk>().VALUE = 1.5;
    files::ADD(disk);
    files::CLOSE(disk);
    runtime::readWholeFile(folder.file("numbers.vkf"), before);
  }
  ~StructureSearchTest() override { files::CLOSE(declared); }

  // A start: the driver and the numbers file at version 8, with /debugupk and `switches`.
  void start(const std::string& switches) {
    commandLine("/debugupk " + switches);
    upkeepProcessStart();
    SetTranslationIni(settingsIni().substr(settingsIni().rfind('/') + 1));
    ds_AddDriver("Vkf", driverFile, 1, driverFile.record().data());
    ds_UsingFile("NUM", "numbers", declared, 8, 0);
  }

  // Stores the image of `spec` under `prefix` and `version` in the catalogue.
  static void store(const files::FileSpec& spec, std::string_view prefix, int version,
                    std::string_view label = "numbers") {
    std::vector<std::uint8_t> image;
    writeImage(files::FileDeclaration(spec), image);
    SetUPGFileNames();
    files::OPEN(UpgFile(), 0x42);
    files::CLEAR(UpgFile());
    UPG().LABEL = label;
    UPG().PREFIX = prefix;
    UPG().VERSION = static_cast<std::int16_t>(version);
    UpgFormat().setBytes(std::string(image.begin(), image.end()));
    files::ADD(UpgFile());
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
    files::CLOSE(UpgFile());
  }

  // The versions the last open tried, in order.
  std::vector<std::string> tried() {
    std::vector<std::string> versions;
    for (const std::string& line : takeTrace()) {
      if (line.starts_with("[Upkeep] Trying stored version "))
        versions.push_back(line.substr(31, line.find(':') - 31));
    }
    return versions;
  }

  void expectUntouched() {
    std::string after;
    runtime::readWholeFile(folder.file("numbers.vkf"), after);
    EXPECT_EQ(after, before);
    EXPECT_FALSE(files::EXISTS("dstmp001.VKF"));
    EXPECT_FALSE(files::EXISTS("numbers.vkf.upk"));
    EXPECT_TRUE(UPKQ().empty());
  }

  std::string before;
  files::FileDeclaration driverFile{app::kCodebySpec};
  files::FileDeclaration declared{kVersion8};
  runtime::ScriptedAnswerer answers;
  runtime::InterceptingHalter halter;
  runtime::ScopedMessageHandlers handlers{answers, halter};
};

TEST_F(StructureSearchTest, VersionsAreTriedFromTheDeclaredOneDownAndAboveItOnlyWithDowngrade) {
  start("");
  store(kVersion0, "NUM", 0);
  store(kVersion3, "NUM", 3);
  store(kVersion9, "NUM", 9);
  store(kVersion9, "NUL", 9, "nulls");  // sorted just below NUM 0: ends the walk
  takeTrace();
  ds_FileOpen(declared, 0x42);
  EXPECT_EQ(runtime::ERRORCODE(), runtime::InvalidRecordDeclarationErr);
  EXPECT_EQ(tried(), (std::vector<std::string>{"8", "3", "0"}));
  EXPECT_TRUE(answers.shown().empty());
  expectUntouched();

  // With /DOWNGRADE the newer structure comes first, after a warning shown once per run.
  start("/DOWNGRADE");
  answers.addAnswer(runtime::ButtonIgnore);
  ds_FileOpen(declared, 0x42);
  EXPECT_EQ(tried(), (std::vector<std::string>{"9", "8", "3", "0"}));
  ds_FileOpen(declared, 0x42);
  EXPECT_EQ(tried(), (std::vector<std::string>{"9", "8", "3", "0"}));
  ASSERT_EQ(answers.shown().size(), 1u);
  EXPECT_EQ(answers.shown()[0].text, "Warning : Possibly about to Downgrade Files");
  expectUntouched();
}

TEST_F(StructureSearchTest, TheFirstStoredStructureThatOpensTheFileIsTheOneConverted) {
  start("");
  store(kDisk, "NUM", 3);
  store(kVersion0, "NUM", 2);
  takeTrace();
  ds_FileOpen(declared, 0x42);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
  EXPECT_EQ(tried(), (std::vector<std::string>{"8", "3"}));
  ASSERT_EQ(UPKQ().size(), 1u);
  EXPECT_EQ(UPKQ()[0].FROMVERSION, 3);
  EXPECT_EQ(UPKQ()[0].TOVERSION, 8);
  files::SET(declared);
  files::NEXT(declared);
  EXPECT_EQ(declared.recordAs<Named>().VALUE, 1);  // 1.5 as a LONG
}

TEST_F(StructureSearchTest, AFileOfAnUnregisteredPrefixIsLeftAloneWithoutAMessage) {
  start("");
  static constexpr runtime::FieldDef kOtherFields[] = {GD_FIELD(Long1, VALUE, "OTH:VALUE")};
  files::FileSpec spec = numbers<Long1>(kOtherFields);
  spec.prefix = "OTH";
  files::FileDeclaration unregistered(spec);
  takeTrace();
  ds_FileOpen(unregistered, 0x42);
  EXPECT_EQ(runtime::ERRORCODE(), runtime::InvalidRecordDeclarationErr);
  const std::vector<std::string> trace = takeTrace();
  EXPECT_NE(std::find(trace.begin(), trace.end(),
                      "[Upkeep] Upkeep: Unable to upgrade file - Not \"Using\" file OTH"),
            trace.end());
  EXPECT_TRUE(answers.shown().empty());
  expectUntouched();
}

}  // namespace
}  // namespace upkeep
