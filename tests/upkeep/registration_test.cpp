#include "upkeep/registration.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "platform/files/file_declaration.h"
#include "platform/runtime/field_types.h"
#include "tests/upkeep/engine_fixture.h"
#include "upkeep/call_recorder.h"
#include "upkeep/driver_used.h"
#include "upkeep/profile.h"
#include "upkeep/registration_tables.h"

namespace upkeep {
namespace {

// A fresh engine in a folder of the test's own: ds_UsingFile writes the catalogue there.
class RegistrationTest : public testing::EngineTest {};

TEST_F(RegistrationTest, TheRecorderSeesEveryCallInOrderWithItsArguments) {
  CallLog log;
  {
    ScopedCallRecorder scope(log);
    UpgradingFlagAddress();
    ds_SetOption("BadFile", "0");
    ds_IgnoreDriver("AllFiles", 1);
    ds_AlternateFieldName("FUN:examplecode", "examplecode");
  }
  ds_SetOption("SPCreate", "1");  // after the scope: not recorded
  EXPECT_EQ(log.texts(), (std::vector<std::string>{
                             "UpgradingFlagAddress()",
                             "ds_SetOption(\"BadFile\", \"0\")",
                             "ds_IgnoreDriver(\"AllFiles\", 1)",
                             "ds_AlternateFieldName(\"FUN:examplecode\", \"examplecode\")",
                         }));
}

struct OneByte {
  runtime::Byte value;
};
const runtime::FieldDef kOneByteFields[] = {GD_FIELD(OneByte, value, "DUM:VALUE")};

files::FileSpec oneByteFile(std::string_view label) {
  files::FileSpec spec;
  spec.label = label;
  spec.prefix = "DUM";
  spec.name = label;
  spec.fields = kOneByteFields;
  spec.recordSize = sizeof(OneByte);
  return spec;
}

TEST_F(RegistrationTest, FilesAndRecordsAreRecordedByIdentity) {
  files::FileDeclaration driverFile(oneByteFile("dummy"));
  files::FileDeclaration categories(oneByteFile("categort"));
  CallLog log;
  ScopedCallRecorder scope(log);
  ds_AddDriver("Vkf", driverFile, 1, driverFile.record().data());
  ds_UsingFile("CAT", "categort", categories, 0, 0);
  ASSERT_EQ(log.calls().size(), 2u);
  EXPECT_EQ(log.texts()[0], "ds_AddDriver(\"Vkf\", FILE(dummy), 1, record)");
  EXPECT_EQ(log.calls()[0].object, &driverFile);
  EXPECT_EQ(log.calls()[0].record, driverFile.record().data());
  EXPECT_EQ(log.texts()[1], "ds_UsingFile(\"CAT\", \"categort\", FILE(categort), 0, 0)");
  EXPECT_EQ(log.calls()[1].object, &categories);
}

TEST_F(RegistrationTest, TheUpgradingFlagHasOneAddressAndReadsZeroBetweenOpens) {
  std::uint8_t* flag = UpgradingFlagAddress();
  ASSERT_NE(flag, nullptr);
  EXPECT_EQ(*flag, 0);
  std::uint8_t* other = nullptr;
  std::thread([&] { other = UpgradingFlagAddress(); }).join();
  EXPECT_EQ(other, flag);
}

}  // namespace
}  // namespace upkeep

namespace upkeep {
namespace {

class RegistrationTablesTest : public testing::EngineTest {};

TEST_F(RegistrationTablesTest, OptionsStartAtTheirValuesAndTakeTheLowByteOfANumber) {
  const UpgradeOptions& options = registration().options;
  EXPECT_EQ(options.badFile, 1);
  EXPECT_EQ(options.backup, 0);
  const struct {
    const char* key;
    const char* value;
    std::function<int()> member;
    int expected;
  } cases[] = {
      {"BadFile", "0", [&] { return options.badFile; }, 0},
      {"UseBadFile", "2", [&] { return options.badFile; }, 2},
      {"BADFILE  ", "1", [&] { return options.badFile; }, 1},  // trailing blanks do not count
      {" badfile", "0", [&] { return options.badFile; }, 1},   // a leading one does: unknown
      {"badfil", "0", [&] { return options.badFile; }, 1},     // no prefix match
      {"backup", "257", [&] { return options.backup; }, 1},    // the low byte
      {"SPCreate", "abc", [&] { return options.spCreate; }, 0},
      {"SPCreate", "1", [&] { return options.spCreate; }, 1},
      {"ZeroNull", "1", [&] { return options.zeroNullCopy + 10 * options.zeroNullConvert; }, 11},
      {"blankzero", "3", [&] { return options.blankZero; }, 3},
      {"DctMasterKeys", "0", [&] { return options.dctMasterKeys; }, 1},
      {"dctmasterfields", "", [&] { return options.dctMasterFields; }, 1},
  };
  for (const auto& test : cases) {
    ds_SetOption(test.key, test.value);
    EXPECT_EQ(test.member(), test.expected) << test.key << "=" << test.value;
  }
  ds_SetOption("MySqlType", "innodbx");
  ds_SetOption("RemoteMachineName", "  server1  ");
  ds_SetOption("ODBCDB", "MyOdbc 3  ");
  EXPECT_EQ(options.mysqlType, "INNODB");
  EXPECT_EQ(options.remoteMachineName, "  server1");
  EXPECT_EQ(options.ODBCDB, "MyOdbc 3");
}

TEST_F(RegistrationTablesTest, RealAndUnrealFieldsAppendInCallOrder) {
  ds_SetOption("RealField", "Pro:Amount");
  ds_SetOption("unrealfield", "pro:Temp");
  ds_SetOption("REALFIELD", "Pro:Amount");
  const std::vector<RealFieldEntry>& fields = registration().RFQ;
  ASSERT_EQ(fields.size(), 3u);
  EXPECT_EQ(fields[0].NAME, "PRO:AMOUNT");
  EXPECT_EQ(fields[0].VALUE, "REALFIELD");
  EXPECT_EQ(fields[1].NAME, "PRO:TEMP");
  EXPECT_EQ(fields[1].VALUE, "UNREALFIELD");
  EXPECT_EQ(fields[2].NAME, "PRO:AMOUNT");
}

TEST_F(RegistrationTablesTest, DriversKeepTheirCaseAndAreFoundByTheFilesDriver) {
  files::FileDeclaration cask(oneByteFile("cask"));
  files::FileSpec odbcSpec = oneByteFile("odbc");
  odbcSpec.driver = files::Driver::Odbc;
  files::FileDeclaration odbc(odbcSpec);
  files::FileSpec asciiSpec = oneByteFile("text");
  asciiSpec.driver = files::Driver::Ascii;
  files::FileDeclaration text(asciiSpec);

  EXPECT_EQ(DriverUsed(cask), "");
  ds_AddDriver("Vkfxyz", cask, 1, cask.record().data());
  ds_AddDriver("odb", odbc, 1, odbc.record().data());
  ds_AddDriver("VKF", cask, 1, cask.record().data());  // twice: the first one counts
  ds_AddDriver("cor", text, 1, text.record().data());

  ASSERT_EQ(registration().DR.size(), 4u);
  EXPECT_EQ(registration().DR[0].NAME, "Vkf");
  EXPECT_EQ(DriverUsed(cask), "Vkf");
  EXPECT_EQ(DriverUsed(odbc), "odb");
  EXPECT_EQ(DriverUsed(text), "cor");
  EXPECT_EQ(registration().CorvidDriverRegistered, 1);
  const SqlDriverSlot* slot = sqlDriverSlot("ODB");
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(slot->file, &odbc);
  EXPECT_EQ(slot->record, odbc.record().data());
  EXPECT_EQ(sqlDriverSlot("Vkf"), nullptr);
  EXPECT_EQ(sqlDriverSlot("MSS")->file, nullptr);
}

TEST_F(RegistrationTablesTest, IgnoredFilesAndAlternateNamesAreUpperCased) {
  ds_IgnoreDriver("template", 0);
  ds_IgnoreDriver("AllFiles", 1);
  ds_IgnoreDriver("categort", 1);
  ds_IgnoreDriver("AllFiles", 1);  // duplicates are kept
  std::vector<std::string> names;
  for (const IgnoreEntry& entry : registration().IGD) names.push_back(entry.NAME);
  EXPECT_EQ(names, (std::vector<std::string>{"ALLFILES", "ALLFILES", "CATEGORT", "TEMPLATE"}));
  EXPECT_EQ(registration().IGD[0].DRIVER, 1);

  ds_AlternateFieldName("tpl:Coding", "Coding");
  ds_AlternateFieldName("FUN:examplecode", "examplecode");
  ASSERT_EQ(registration().AFNS.size(), 2u);
  EXPECT_EQ(registration().AFNS[0].DESTNAME1, "TPL:CODING");
  EXPECT_EQ(registration().AFNS[1].SRCNAME2, "EXAMPLECODE");
}

TEST_F(RegistrationTablesTest, AFileIsRegisteredOncePerPrefixInPrefixOrder) {
  files::FileDeclaration projects(oneByteFile("projects"));
  files::FileDeclaration other(oneByteFile("other"));
  files::FileDeclaration categories(oneByteFile("categort"));
  ds_AddDriver("Vkf", projects, 1, projects.record().data());
  ds_UsingFile("pro", "projects", projects, 8, 0);
  ds_UsingFile("PRO", "other", other, 9, 0);  // the prefix is known: nothing
  ds_UsingFile("CAT", "categort", categories, 0x10002, 0);
  ASSERT_EQ(registration().UF.size(), 2u);
  EXPECT_EQ(registration().UF[0].PREFIX, "CAT");
  EXPECT_EQ(registration().UF[0].VERSION, 2) << "a 16-bit version";
  EXPECT_EQ(registration().UF[1].PREFIX, "PRO");
  EXPECT_EQ(registration().UF[1].LABEL, "projects");
  EXPECT_EQ(registration().UF[1].VERSION, 8);
  EXPECT_EQ(registration().UF[1].PTR, &projects);
  ASSERT_NE(usingFileEntry("Pro"), nullptr);
  EXPECT_EQ(usingFileEntry("Pro")->PTR, &projects);
  EXPECT_EQ(usingFileEntry("FUN"), nullptr);
  EXPECT_EQ(profile().usingFile[0], 3) << "every call is counted";
}

TEST_F(RegistrationTablesTest, CallsTraceOnceTheDriverRegistrationLoadedTheSwitches) {
  commandLine("/debugupk");
  files::FileDeclaration cask(oneByteFile("cask"));
  ds_SetOption("BadFile", "0");  // switches not loaded yet: no line
  ds_AddDriver("Vkf", cask, 1, cask.record().data());
  ds_SetOption("SPCreate", " 1 ");
  ds_IgnoreDriver("AllFiles", 1);
  ds_UsingFile("CAT", "categort", cask, 0, 0);
  ds_UsingFile("cat", "categort", cask, 0, 0);
  EXPECT_EQ(takeTrace(),
            (std::vector<std::string>{
                "[Upkeep] Upkeep version: 4.11 Beta",
                "[Upkeep] Upkeep debugging level: /debugupk",
                "[Upkeep] Registering driver Vkf 0",
                "[Upkeep] ds_SetOption: SPCreate  1",
                "[Upkeep] ds_IgnoreDriver InAllFiles 1",
                "[Upkeep] UsingFile In categort version=0 prefix=CAT",
                "[Upkeep] About to open UPG [1] : " + folder.path().string() + "\\Upg.Vkf\\!Upg2",
                "[Upkeep] UsingFileWork In l=categort v=0",
                "[Upkeep] found : categort 0 Error was Record Is Not Available",
                "[Upkeep] About to call ReadFormat 3",
                "[Upkeep] Into ReadFormat!!!!!!!!!!!!!!!!!",
                "[Upkeep] Driver found : 0",
                "[Upkeep] What's in the Header: 49;86;107;102;0;0;0;0;0;1;0;0;0;",
                "[Upkeep] Too Big ? : fmtp=40",
                "[Upkeep] Adding to UPG : CAT 0",
                "[Upkeep] UsingFileWork Out",
                "[Upkeep] UsingFile Out",
                "[Upkeep] UsingFile In categort version=0 prefix=cat",
                "[Upkeep] UsingFile Out (Optimised)",
            }));
}

}  // namespace
}  // namespace upkeep
