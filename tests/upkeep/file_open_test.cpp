#include "upkeep/file_open.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/files/file_driver.h"
#include "platform/files/plain_file_driver.h"
#include "platform/files/sql_driver.h"
#include "platform/files/sql_scripted_connection.h"
#include "platform/files/view_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/ini_file.h"
#include "platform/runtime/message.h"
#include "tests/support/scratch_folder.h"
#include "tests/upkeep/engine_fixture.h"
#include "upkeep/call_recorder.h"
#include "upkeep/debug_switches.h"
#include "upkeep/engine_lifecycle.h"
#include "upkeep/open_flags.h"
#include "upkeep/program_file_name.h"
#include "upkeep/registration.h"
#include "upkeep/registration_tables.h"
#include "upkeep/sql_backend.h"
#include "upkeep/upkeep_state.h"

namespace upkeep {
namespace {

using support::readFile;
using support::writeFile;

struct Number {
  runtime::Long value;
};
const runtime::FieldDef kNumberFields[] = {GD_FIELD(Number, value, "NUM:VALUE")};
const files::KeySpec kNumberKeys[] = {{"NUM:K_VALUE", 0, {1}}};

// The same file a field longer: another record layout.
struct WideNumber {
  runtime::Long value;
  runtime::Long extra;
};
const runtime::FieldDef kWideFields[] = {GD_FIELD(WideNumber, value, "NUM:VALUE"),
                                         GD_FIELD(WideNumber, extra, "NUM:EXTRA")};

// A box answerer that records the boxes and answers Ignore to STOP, so the open's own HALT is
// seen; a halter that throws the exit code.
struct HaltedWith {
  int exitCode;
};
class Screen : public runtime::MessageAnswerer, public runtime::Halter {
 public:
  Screen() : answerer_(runtime::setMessageAnswerer(this)), halter_(runtime::setHalter(this)) {}
  ~Screen() override {
    runtime::setMessageAnswerer(answerer_);
    runtime::setHalter(halter_);
  }
  int answer(const runtime::MessageRequest& box) override {
    boxes.push_back(box.caption + ": " + box.text);
    return box.buttons & runtime::ButtonIgnore ? runtime::ButtonIgnore : box.defaultButton;
  }
  void halt(int exitCode) override { throw HaltedWith{exitCode}; }

  std::vector<std::string> boxes;

 private:
  runtime::MessageAnswerer* answerer_;
  runtime::Halter* halter_;
};

class FileOpenTest : public testing::EngineTest {
 protected:
  FileOpenTest() : driverFile_(spec("driver")) {
    ds_AddDriver("Vkf", driverFile_, 4, driverFile_.record().data());
  }

  files::FileSpec spec(const std::string& name, files::Driver driver = files::Driver::Caskfile) {
    names_.push_back(name.empty() ? name : folder.file(name));
    files::FileSpec result;
    result.label = "numbers";
    result.prefix = "NUM";
    result.driver = driver;
    result.name = names_.back();
    result.fields = kNumberFields;
    result.recordSize = sizeof(Number);
    result.keys = kNumberKeys;
    return result;
  }
  // A data file of `spec` with two records.
  static void fill(const files::FileSpec& spec) {
    files::FileDeclaration file(spec);
    files::CREATE(file);
    files::OPEN(file, 0x12);
    for (int value : {1, 2}) {
      file.recordAs<Number>().value = value;
      files::ADD(file);
    }
    files::CLOSE(file);
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
  }
  std::optional<std::string> badFileEntry() const {
    const std::string value =
        runtime::GETINI(ProgramFileName(), "BadFile", "(none)", defaultProfile());
    return value == "(none)" ? std::nullopt : std::optional(value);
  }

 private:
  std::deque<std::string> names_{};  // the specs' names point into it
  files::FileDeclaration driverFile_;
};

// One way of making an open fail, and what the open then does.
struct PolicyCase {
  const char* what;
  const char* commandLine;
  // Makes the file on disk and answers its declaration.
  std::function<std::unique_ptr<files::FileDeclaration>(FileOpenTest&)> make;
  int error;             // what the caller sees
  bool upgraded;         // the upgrade was asked for
  bool fatal;            // the program was ended, with the file's name in the box
  const char* stopText;  // the box's text up to the file's name
};

class FileOpenPolicyTest : public FileOpenTest {
 public:
  using FileOpenTest::fill;
  using FileOpenTest::spec;
};

// A Caskfile data file whose first page is damaged after its header: the header still reads,
// the table list does not (a file system error, 90).
void corrupt(const std::string& path) {
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(100);
  const std::string garbage(100, '\x5A');
  file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
}

TEST_F(FileOpenPolicyTest, EachErrorOfARealFileIsHandledAsThePolicySays) {
  using Make = std::function<std::unique_ptr<files::FileDeclaration>(FileOpenTest&)>;
  const Make missingFile = [](FileOpenTest& test) {
    return std::make_unique<files::FileDeclaration>(
        static_cast<FileOpenPolicyTest&>(test).spec("missing.VKF"));
  };
  const Make missingFolder = [](FileOpenTest& test) {
    return std::make_unique<files::FileDeclaration>(
        static_cast<FileOpenPolicyTest&>(test).spec("nowhere/numbers.VKF"));
  };
  const Make otherLayout = [](FileOpenTest& test) {
    auto& self = static_cast<FileOpenPolicyTest&>(test);
    files::FileSpec wide = self.spec("layout.VKF");
    wide.fields = kWideFields;
    wide.recordSize = sizeof(WideNumber);
    wide.keys = {};
    files::FileDeclaration old(wide);
    files::CREATE(old);
    return std::make_unique<files::FileDeclaration>(self.spec("layout.VKF"));
  };
  const Make staleKeys = [](FileOpenTest& test) {
    auto& self = static_cast<FileOpenPolicyTest&>(test);
    auto file = std::make_unique<files::FileDeclaration>(self.spec("stale.VKF"));
    files::CREATE(*file);
    files::OPEN(*file, 0x12);
    files::APPEND(*file);
    files::CLOSE(*file);
    return file;
  };
  const Make corruptFile = [](FileOpenTest& test) {
    auto& self = static_cast<FileOpenPolicyTest&>(test);
    const files::FileSpec spec = self.spec("corrupt.VKF");
    FileOpenTest::fill(spec);
    corrupt(std::string(spec.name));
    return std::make_unique<files::FileDeclaration>(spec);
  };
  const Make notADataFile = [](FileOpenTest& test) {
    auto& self = static_cast<FileOpenPolicyTest&>(test);
    const files::FileSpec spec = self.spec("text.VKF");
    writeFile(std::string(spec.name), "just some text, not a data file at all, long enough");
    return std::make_unique<files::FileDeclaration>(spec);
  };
  const Make folderInPlace = [](FileOpenTest& test) {
    auto& self = static_cast<FileOpenPolicyTest&>(test);
    const files::FileSpec spec = self.spec("folder.VKF");
    std::filesystem::create_directory(std::string(spec.name));
    return std::make_unique<files::FileDeclaration>(spec);
  };
  const Make blankName = [](FileOpenTest& test) {
    return std::make_unique<files::FileDeclaration>(
        static_cast<FileOpenPolicyTest&>(test).spec(""));
  };
  const Make unregisteredDriver = [](FileOpenTest& test) {
    return std::make_unique<files::FileDeclaration>(
        static_cast<FileOpenPolicyTest&>(test).spec("missing.log", files::Driver::Ascii));
  };
  const Make ignoredFile = [](FileOpenTest& test) {
    auto file = std::make_unique<files::FileDeclaration>(
        static_cast<FileOpenPolicyTest&>(test).spec("ignored.VKF"));
    openFlags().IFQ.push_back(files::NAME(*file));
    return file;
  };
  const Make goodFile = [](FileOpenTest& test) {
    auto& self = static_cast<FileOpenPolicyTest&>(test);
    const files::FileSpec spec = self.spec("good.VKF");
    FileOpenTest::fill(spec);
    return std::make_unique<files::FileDeclaration>(spec);
  };
  const char* corruptText = "Upkeep: File Corrupt. Restart program to invoke Reviver. Name : ";
  const PolicyCase cases[] = {
      {"an existing file", "", goodFile, 0, false, false, nullptr},
      {"a missing file", "", missingFile, 2, true, false, nullptr},
      {"a missing folder", "", missingFolder, 3, false, false, nullptr},
      {"another layout", "", otherLayout, 47, true, false, nullptr},
      {"stale keys", "", staleKeys, 46, false, false, nullptr},
      {"stale keys, /upkept46", "/upkept46", staleKeys, 46, true, false, nullptr},
      {"not a data file", "", notADataFile, 36, true, false, nullptr},
      {"a corrupt data file", "", corruptFile, -1, false, true, corruptText},
      {"a corrupt data file, /upkept90", "/UPKEPT90", corruptFile, 90, true, false, nullptr},
      {"a folder in the place of the file", "", folderInPlace, 5, false, false, nullptr},
      {"a blank name", "", blankName, -1, false, false, nullptr},
      {"an unregistered driver", "", unregisteredDriver, 2, false, false, nullptr},
      {"an ignored file", "", ignoredFile, 2, false, false, nullptr},
  };
  const std::uint8_t* upgrading = UpgradingFlagAddress();
  for (const PolicyCase& test : cases) {
    SCOPED_TRACE(test.what);
    commandLine(test.commandLine);
    std::unique_ptr<files::FileDeclaration> file = test.make(*this);
    const std::string path = files::NAME(*file);

    const bool folderBefore = std::filesystem::is_directory(path);
    const std::string before = path.empty() || folderBefore ? "" : readFile(path);
    Screen screen;
    CallLog log;
    std::optional<int> halted;
    {
      ScopedCallRecorder recording(log);
      try {
        ds_FileOpen(*file, 0x22);
      } catch (const HaltedWith& halt) {
        halted = halt.exitCode;
      }
    }
    const int error = runtime::ERRORCODE();
    if (test.fatal) {
      // The program ends: no caller sees an error.
    } else if (test.error >= 0) {
      EXPECT_EQ(error, test.error) << runtime::ERROR();
    } else {
      EXPECT_NE(error, 0) << "a blank name opens nothing";
    }
    // Stale keys leave the file open and usable, so the caller can rebuild them.
    EXPECT_EQ(files::STATUS(*file) != 0, error == 0 || error == runtime::KeyFileRebuildErr);
    const std::vector<std::string> calls = log.texts();
    const bool upgraded =
        std::find(calls.begin(), calls.end(), "ds_UpgradeFile(FILE(numbers))") != calls.end();
    EXPECT_EQ(upgraded, test.upgraded);
    EXPECT_EQ(*upgrading, 0);
    EXPECT_FALSE(upkeepLock().heldByCaller());
    if (test.fatal) {
      EXPECT_EQ(halted, kFatalOpenExitCode);
      EXPECT_NE(kFatalOpenExitCode, 0);
      EXPECT_EQ(screen.boxes,
                std::vector<std::string>{"Stop: " + std::string(test.stopText) + path});
      EXPECT_EQ(badFileEntry(), path) << "the marker names the file that stopped the program";
      EXPECT_EQ(readFile(path), before) << "the broken file is left as it was";
      ASSERT_TRUE(runtime::PUTINI(ProgramFileName(), "BadFile", std::nullopt, defaultProfile()));
    } else {
      EXPECT_EQ(halted, std::nullopt);
      EXPECT_TRUE(screen.boxes.empty());
      EXPECT_EQ(badFileEntry(), std::nullopt) << "the marker stands only while a file opens";
    }
    if (folderBefore) {
      EXPECT_TRUE(std::filesystem::is_empty(path)) << "a folder in the file's place is left alone";
    }
    files::CLOSE(*file);
  }
}

TEST_F(FileOpenTest, AnUpgradedFileIsOpenedAgainUnderTheLock) {
  const files::FileSpec missing = spec("numbers.VKF");
  files::FileDeclaration file(missing);
  // An upgrade that makes the file: the second open then finds it.
  class Creating : public CallRecorder {
   public:
    explicit Creating(const files::FileSpec& spec) : spec_(spec) {}
    void record(const EntryCall& call) override {
      if (call.entry != "ds_UpgradeFile") return;
      seenUpgrading = *UpgradingFlagAddress();
      seenLocked = upkeepLock().heldByCaller();
      seenBadFile = runtime::GETINI(ProgramFileName(), "BadFile", "(none)");
      files::FileDeclaration made(spec_);
      files::CREATE(made);
    }
    int seenUpgrading = -1;
    bool seenLocked = false;
    std::string seenBadFile;

   private:
    const files::FileSpec& spec_;
  } creating(missing);
  ScopedCallRecorder recording(creating);
  ds_FileOpen(file, 0x42);
  EXPECT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
  EXPECT_EQ(files::STATUS(file), 0x42);
  EXPECT_EQ(creating.seenUpgrading, 1);
  EXPECT_TRUE(creating.seenLocked);
  EXPECT_EQ(creating.seenBadFile, "(none)") << "the marker stands only around the opens";
}

TEST_F(FileOpenTest, AnInvalidFileReadsAsInvalidUnlessTheUpgradeOpenedIt) {
  const files::FileSpec text = spec("text.VKF");
  writeFile(std::string(text.name), "not a data file of ours, and long enough for the header");
  files::FileDeclaration file(text);
  // An upgrade that gives up with the error state cleared and the file closed.
  class Clearing : public CallRecorder {
   public:
    void record(const EntryCall& call) override {
      if (call.entry == "ds_UpgradeFile") runtime::clearError();
    }
  } clearing;
  ScopedCallRecorder recording(clearing);
  ds_FileOpen(file, 0x22);
  EXPECT_EQ(runtime::ERRORCODE(), runtime::InvalidDataFileErr);
  EXPECT_EQ(files::STATUS(file), 0);
}

TEST_F(FileOpenTest, AFileNameCannotWriteLinesIntoTheDefaultProfile) {
  ASSERT_TRUE(runtime::PUTINI("Desktop", "DragFullWindows", "1", defaultProfile()));
  const std::string before = readFile(defaultProfile());
  files::FileDeclaration file(spec("x\n[Injected]\nBadFile=evil.VKF"));
  ds_FileOpen(file, 0x22);
  EXPECT_EQ(runtime::ERRORCODE(), runtime::FileNotFoundErr) << "the open's own error";
  EXPECT_EQ(readFile(defaultProfile()), before);
}

TEST_F(FileOpenTest, AFatalOpenWithoutTheBadFileOptionLeavesNoMarker) {
  ds_SetOption("BadFile", "0");
  const files::FileSpec broken = spec("broken.VKF");
  fill(broken);
  corrupt(std::string(broken.name));
  files::FileDeclaration file(broken);
  Screen screen;
  EXPECT_THROW(ds_FileOpen(file, 0x22), HaltedWith);
  EXPECT_EQ(badFileEntry(), std::nullopt);
  EXPECT_EQ(screen.boxes.size(), 1u);
}

// SQL backends that record what the engine asks of them.
class RecordingBackend : public SqlBackend {
 public:
  RecordingBackend() : previous_(setSqlBackend(this)) {}
  ~RecordingBackend() override { setSqlBackend(previous_); }
  void LoadVersionInfoQueues(files::FileDeclaration& file, std::int16_t version,
                             std::string_view prefix, std::string_view) override {
    calls.push_back("LoadVersionInfoQueues " + file.label() + " " + std::to_string(version) + " " +
                    std::string(prefix));
  }
  void ManageSQLTable(files::FileDeclaration& file, std::string_view code) override {
    calls.push_back("ManageSQLTable " + file.label() + " " + std::string(code));
  }
  int ExecuteStatement(std::string_view statement, int) override {
    calls.push_back(std::string(statement));
    return 0;
  }
  void ds_Error(std::string_view code, std::string_view detail, std::string_view,
                int level) override {
    calls.push_back("ds_Error " + std::string(code) + " " + std::string(detail) + " " +
                    std::to_string(level));
  }
  std::string odbcBackendKind() const override { return kind; }

  std::vector<std::string> calls;
  std::string kind;

 private:
  SqlBackend* previous_;
};

TEST_F(FileOpenTest, TheFinalOpenMessageFollowsTheDriverCode) {
  const struct {
    const char* code;
    const char* kind;
    const char* box;  // up to the file's name; empty when ds_Error reports instead
  } cases[] = {
      {"Vkf", "", "Upkeep: File Corrupt. Restart program to invoke Reviver. Name : "},
      {"btr", "",
       "Upkeep: Unable to open file. Check to be sure the Pervasive Database Engine "
       "is running. Name : "},
      {"Xyz", "",
       "Upkeep: Unable to open file. Errorcode 90 received. Are you sure your "
       "Connection details are correct? Name : "},
      {"Xyz", "Firebird", ""},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(std::string(test.code) + " " + test.kind);
    upkeepProcessStart();
    const files::FileSpec broken = spec(std::string("broken") + test.code + test.kind + ".VKF");
    files::FileDeclaration driver(broken);
    ds_AddDriver(test.code, driver, 4, driver.record().data());
    fill(broken);
    corrupt(std::string(broken.name));
    files::FileDeclaration file(broken);
    RecordingBackend backend;
    backend.kind = test.kind;
    Screen screen;
    std::optional<int> halted;
    try {
      ds_FileOpen(file, 0x22);
    } catch (const HaltedWith& halt) {
      halted = halt.exitCode;
    }
    const std::string name = files::NAME(file);
    if (*test.box != 0) {
      EXPECT_EQ(screen.boxes, std::vector<std::string>{"Stop: " + std::string(test.box) + name});
      EXPECT_EQ(halted, kFatalOpenExitCode);
      EXPECT_TRUE(backend.calls.empty());
    } else {
      EXPECT_TRUE(screen.boxes.empty());
      EXPECT_EQ(halted, std::nullopt) << "the report of ds_Error ends the program itself";
      EXPECT_EQ(backend.calls, std::vector<std::string>{"ds_Error M33 " + name +
                                                        " :90 11: database disk image is "
                                                        "malformed 6"});
    }
  }
}

TEST_F(FileOpenTest, ASqlTableIsManagedUntilItStandsInTheManagedList) {
  files::FileSpec table = spec("orders", files::Driver::Odbc);
  table.owner = "dsn=shop";
  files::FileDeclaration odbc(table);
  // A server on which the table stands.
  auto server = std::make_shared<files::SqlScript>(files::SqlBackend::PostgreSQL);
  server->setColumns(files::NAME(odbc), {{"value", "int4"}});
  const files::SqlConnector previous =
      files::setSqlConnector([server](files::Driver, std::string_view, files::SqlError& error) {
        return files::SqlScript::connect(server, error);
      });
  ds_AddDriver("ODB", odbc, 4, odbc.record().data());
  RecordingBackend backend;
  CallLog log;
  ScopedCallRecorder recording(log);
  ds_FileOpen(odbc, 0x42);
  EXPECT_EQ(openFlags().IsSQLDriver, 1);
  EXPECT_EQ(openFlags().ODBFileOwner, "dsn=shop");
  EXPECT_EQ(registration().CurrentSqlDriver.file, &odbc);
  openFlags().MFQ.push_back(files::NAME(odbc));
  ds_FileOpen(odbc, 0x42);
  EXPECT_EQ(backend.calls, std::vector<std::string>{"ManageSQLTable numbers ODB"})
      << "managed once, then found in the list";
  for (const std::string& call : log.texts()) {
    EXPECT_EQ(call.find("ds_UpgradeFile"), std::string::npos) << "a SQL table is not upgraded";
  }

  files::FileDeclaration local(spec("local.VKF"));
  ds_FileOpen(local, 0x42);
  EXPECT_EQ(openFlags().IsSQLDriver, 0);

  // Registration hands every file to the system-table check, with its 16-bit version.
  ds_UsingFile("ord", "orders", odbc, 0x10003, 0);
  EXPECT_EQ(backend.calls.back(), "LoadVersionInfoQueues numbers 3 ord");
  files::CLOSE(odbc);
  files::setSqlConnector(previous);
}

TEST_F(FileOpenTest, AViewIsOpenedPlainly) {
  const files::FileSpec missing = spec("numbers.VKF");
  files::FileDeclaration file(missing);
  files::FileView view(file);
  CallLog log;
  ScopedCallRecorder recording(log);
  ds_FileOpen(view, 0x22);
  EXPECT_EQ(runtime::ERRORCODE(), runtime::FileNotFoundErr);
  EXPECT_EQ(log.texts(), std::vector<std::string>{"ds_FileOpen(VIEW(numbers), 34)"});
}

// A VIEW takes the steps of a FILE whose driver is not registered, named by its primary file.
TEST_F(FileOpenTest, TheTraceOfAViewsOpenWithEverySwitchOn) {
  commandLine("/debugupkfull");
  resetDebugSettings();
  LoadDebugSettings();
  takeTrace();
  files::FileSpec owned = spec("numbers.VKF");
  owned.owner = "secret";
  files::FileDeclaration file(owned);
  files::FileView view(file);
  ds_FileOpen(view, 0x22);
  const std::string name = files::NAME(file);
  EXPECT_EQ(
      takeTrace(),
      (std::vector<std::string>{
          "[Upkeep] ds_FileOpen In: (hidden)",
          "[Upkeep] UPK_Upgrading: 1",
          "[Upkeep] Name found: " + name,
          "[Upkeep] DriverUsed Out Not Found",
          "[Upkeep] Driver NOT registered in Upkeep - this table cannot be managed!! VIEW",
          "[Upkeep] Driver:",
          "[Upkeep] Opening file: " + name + ", driver:  Prefix: NUM Fields: 1;NUM:VALUE Keys: 1",
          "[Upkeep] Opening file: " + name + " owner: (hidden)",
          "[Upkeep] Driver not used : File Opened. This caused an error : 2 File Not Found",
          "[Upkeep] UPK_Upgrading: 0",
          "[Upkeep] ds_FileOpen Complete!",
      }));
  EXPECT_EQ(openFlags().FileOwner, "secret");
}

// A driver whose opens end in 530, as a driver may pass it on.
class Failing530Driver : public files::PlainFileDriver {
 public:
  int open(files::FileDeclaration&, const std::string&, const files::AccessMode&,
           std::unique_ptr<files::DriverFile>&) override {
    return files::driverError(530, "passed on by the driver");
  }
};

TEST_F(FileOpenTest, Error530EndsTheProgramWithM19AndNoFinalOpenLine) {
  commandLine("/debugupk");
  resetDebugSettings();
  LoadDebugSettings();
  Failing530Driver failing;
  files::installCorvidDriver(&failing);
  files::FileSpec old = spec("old.dat", files::Driver::Corvid);
  files::FileDeclaration file(old);
  ds_AddDriver("Cor", file, 4, file.record().data());
  takeTrace();
  Screen screen;
  EXPECT_THROW(ds_FileOpen(file, 0x22), HaltedWith);
  upkeepProcessStart();  // the engine's own old data driver again
  const std::string name = files::NAME(file);
  EXPECT_EQ(screen.boxes, std::vector<std::string>{"Stop: Upkeep: File Corrupt. Restart program "
                                                   "to invoke Reviver. Name : " +
                                                   name});
  EXPECT_EQ(badFileEntry(), name);
  for (const std::string& line : takeTrace())
    EXPECT_FALSE(line.starts_with("[Upkeep] Upkeep File error on final open")) << line;
}

TEST_F(FileOpenTest, TheTraceOfOneOpenWithEverySwitchOn) {
  commandLine("/debugupkfull");
  resetDebugSettings();  // the fixture's driver registration read them without the switch
  LoadDebugSettings();
  takeTrace();
  files::FileSpec owned = spec("numbers.VKF");
  owned.owner = "secret";
  files::FileDeclaration file(owned);
  ds_FileOpen(file, 0x22);
  const std::string name = files::NAME(file);
  const std::vector<std::string> lines = takeTrace();
  EXPECT_EQ(
      lines,
      (std::vector<std::string>{
          "[Upkeep] ds_FileOpen In: (hidden)",
          "[Upkeep] UPK_Upgrading: 1",
          "[Upkeep] Name found: " + name,
          "[Upkeep] Driver found : 0",
          "[Upkeep] DriverUsed Out Found Vkf",
          "[Upkeep] Driver: VKF",
          "[Upkeep] Opening file: " + name +
              ", driver: VKF Prefix: NUM Fields: 1;NUM:VALUE Keys: 1",
          "[Upkeep] Opening file: " + name + " owner: (hidden)",
          "[Upkeep] ds_FileOpen Driver found.",
          "[Upkeep] Opening " + name +
              " caused an error : 2 File Not Found : the data file cannot be reached\r\nOwner: "
              "(hidden) Name: " +
              name,
          "[Upkeep] About to upgrade file : reason File Not Found 2 IsSQLDriver: 0",
          "[Upkeep] ds_UpgradeFile In",
          "[Upkeep] ds_UpgradeFileEx In " + name + " 0 File Not Found 0",
          "[Upkeep] ERROR UPGRADING FILE: File Create attribute is not on. Cannot upgrade file!",
          "[Upkeep] ds_UpgradeFileEx Out",
          "[Upkeep] ds_UpgradeFile Out",
          "[Upkeep] Finished upgrade file",
          "[Upkeep] UPK_Upgrading: 0",
          "[Upkeep] ds_FileOpen Complete!",
      }));
}

}  // namespace
}  // namespace upkeep
