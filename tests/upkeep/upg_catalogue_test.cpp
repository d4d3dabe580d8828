#include "upkeep/upg_catalogue.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "app/dictionary/declarations.h"
#include "app/dictionary/upgrade_registration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/message.h"
#include "platform/runtime/scripted_answerer.h"
#include "platform/window/engine.h"
#include "platform/window/headless_backend.h"
#include "platform/window/properties.h"
#include "tests/support/child_process.h"
#include "tests/upkeep/engine_fixture.h"
#include "upkeep/catalogue_conversion_wait_window.h"
#include "upkeep/debug_switches.h"
#include "upkeep/engine_lifecycle.h"
#include "upkeep/profile.h"
#include "upkeep/registration.h"
#include "upkeep/registration_tables.h"
#include "upkeep/settings_ini.h"
#include "upkeep/structure_image.h"
#include "upkeep/upg_file.h"

namespace upkeep {
namespace {

using Bytes = std::vector<std::uint8_t>;

// One entry of the current table as read back.
struct Entry {
  std::string label, prefix;
  int version;
  std::string image;
  bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& e, std::ostream* out) {
  *out << e.label << "/" << e.prefix << "/" << e.version << " image of " << e.image.size()
       << " bytes";
}

// categort with one more field, at the same version: what a developer might forget to number.
struct WiderCategort {
  app::CString<50> CATDESCRIPTION;
  app::Long SORTORDER;
};
constexpr runtime::FieldDef kWiderCategortFields[] = {
    GD_FIELD(WiderCategort, CATDESCRIPTION, "CAT:CATDESCRIPTION").withPicture("@s49"),
    GD_FIELD(WiderCategort, SORTORDER, "CAT:SORTORDER"),
};
constexpr files::FileSpec kWiderCategortSpec = [] {
  files::FileSpec spec = app::kCategortSpec;
  spec.fields = kWiderCategortFields;
  spec.recordSize = sizeof(WiderCategort);
  return spec;
}();

std::string imageText(const files::FileSpec& spec) {
  Bytes image;
  writeImage(files::FileDeclaration(spec), image);
  return std::string(image.begin(), image.end());
}

class CatalogueLifeTest : public testing::EngineTest {
 protected:
  // A start of the program as far as the engine sees it: a fresh engine (settings INI of the
  // test), then the program's own registration.
  void start() {
    freshEngine();
    app::resetUpgradeRegistration();
    ASSERT_TRUE(app::registerWithUpgradeEngine());
  }
  // A fresh engine with the Caskfile driver registered, for registrations of our own.
  void freshEngineWithDriver() {
    freshEngine();
    static files::FileDeclaration driverFile(app::kCodebySpec);
    ds_AddDriver("Vkf", driverFile, 1, driverFile.record().data());
  }
  void freshEngine() {
    upkeepProcessStart();
    const std::string& ini = settingsIni();
    SetTranslationIni(ini.substr(ini.rfind('/') + 1));
  }

  std::string upgPath() const { return folder.file("Upg.Vkf"); }

  // Adds an entry to the old table, creating it when missing.
  void addOldEntry(std::string_view label, std::string_view prefix, int version,
                   std::string_view image) {
    SetUPGFileNames();
    files::FileDeclaration& old = OldUpgFile();
    files::OPEN(old, 0x42);
    if (runtime::ERRORCODE() == runtime::FileNotFoundErr) {
      files::CREATE(old);
      files::OPEN(old, 0x42);
    }
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
    files::CLEAR(old);
    OUPG().LABEL = label;
    OUPG().PREFIX = prefix;
    OUPG().DRIVER = "Vkf";
    OUPG().VERSION = static_cast<std::int16_t>(version);
    ASSERT_TRUE(OldUpgFormat().setBytes(image));
    files::ADD(old);
    EXPECT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
    files::CLOSE(old);
  }

  // The entries of the current table, in UPG:KEY order.
  std::vector<Entry> entries() {
    SetUPGFileNames();
    files::FileDeclaration& upg = UpgFile();
    files::OPEN(upg, 0x40);
    EXPECT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
    std::vector<Entry> out;
    files::SET(upg, *upg.key(1));
    for (files::NEXT(upg); runtime::ERRORCODE() == 0; files::NEXT(upg))
      out.push_back({UPG().LABEL.clipped(), UPG().PREFIX.clipped(), UPG().VERSION,
                     std::string(UpgFormat().content())});
    files::CLOSE(upg);
    return out;
  }

  std::vector<std::string> stopTexts() const {
    std::vector<std::string> texts;
    for (const runtime::MessageRequest& box : answers.shown()) texts.push_back(box.text);
    return texts;
  }

  runtime::ScriptedAnswerer answers;
  runtime::InterceptingHalter halter;
  runtime::ScopedMessageHandlers handlers{answers, halter};
};

TEST_F(CatalogueLifeTest, AFirstStartRecordsTheFiveFilesAndASecondStartWritesNothing) {
  start();
  const std::vector<Entry> expected = {
      {"categort", "CAT", 0, imageText(app::kCategortSpec)},
      {"codeby", "COD", 0, imageText(app::kCodebySpec)},
      {"func", "FUN", 0, imageText(app::kFuncSpec)},
      {"projects", "PRO", 8, imageText(app::kProjectsSpec)},
      {"template", "tpl", 0, imageText(app::kTemplateSpec)},
  };
  EXPECT_EQ(entries(), expected);
  EXPECT_EQ(profile().usingFile[1], 5) << "five additions";
  ASSERT_EQ(registration().UF.size(), 5u);
  EXPECT_EQ(usingFileEntry("TPL")->VERSION, 0);
  EXPECT_EQ(usingFileEntry("PRO")->VERSION, 8);

  const std::string before = support::readFile(upgPath());
  start();
  EXPECT_EQ(support::readFile(upgPath()), before);
  EXPECT_EQ(profile().usingFile[1], 0);
  EXPECT_EQ(registration().UF.size(), 5u);
  EXPECT_TRUE(answers.shown().empty());
}

TEST_F(CatalogueLifeTest, AChangeWithoutANewVersionStopsAndWithOneIsRecordedBesideTheOld) {
  start();
  files::FileDeclaration wider(kWiderCategortSpec);

  freshEngineWithDriver();
  answers.addAnswer(runtime::ButtonIgnore);
  ds_UsingFile("CAT", "categort", wider, 0, 0);
  EXPECT_EQ(stopTexts(),
            std::vector<std::string>{"Upkeep: Possible file change without changing File Version "
                                     "number. File involved : categort"});
  ASSERT_NE(usingFileEntry("CAT"), nullptr) << "the run goes on when the user does";

  freshEngineWithDriver();
  commandLine("/LoadFast");
  ds_UsingFile("CAT", "categort", wider, 0, 0);
  EXPECT_EQ(answers.shown().size(), 1u) << "/LoadFast compares nothing";
  commandLine("");

  freshEngineWithDriver();
  ds_UsingFile("CAT", "categort", wider, 1, 0);
  EXPECT_EQ(answers.shown().size(), 1u);
  EXPECT_EQ(usingFileEntry("CAT")->VERSION, 1);
  const std::vector<Entry> all = entries();
  ASSERT_EQ(all.size(), 6u);
  EXPECT_EQ(all[0], (Entry{"categort", "CAT", 0, imageText(app::kCategortSpec)}));
  EXPECT_EQ(all[1], (Entry{"categort", "CAT", 1, imageText(kWiderCategortSpec)}));
}

TEST_F(CatalogueLifeTest, AnOldFormatTableIsConvertedOnceIntoTheNewTable) {
  freshEngineWithDriver();
  addOldEntry("categort", "CAT", 0, imageText(app::kCategortSpec));
  addOldEntry("projects", "PRO", 7, "an older structure");

  // The conversion shows its wait window, the bar moving with each entry.
  window::HeadlessBackend screen;
  std::vector<std::string> seen;
  const auto look = [&](window::Window& w) {
    seen.push_back(w.property(kCatalogueWaitText, window::PropText) + " " +
                   w.property(kCatalogueWaitProgress, window::PropProgress) + "/" +
                   w.property(kCatalogueWaitProgress, window::PropRangeHigh));
  };
  screen.checkpoint("first entry", look).checkpoint("second entry", look);
  {
    const window::InstalledBackend installed(screen);
    start();
  }
  EXPECT_EQ(screen.openedWindows(), std::vector<std::string>{"P71$WAITWIN"});
  EXPECT_EQ(seen, (std::vector<std::string>{"Please wait. Upgrading old UPG file. 1/2",
                                            "Please wait. Upgrading old UPG file. 2/2"}));
  EXPECT_EQ(window::openWindows(), 0);
  EXPECT_TRUE(answers.shown().empty()) << "the converted categort entry compares equal";
  std::vector<Entry> all = entries();
  ASSERT_EQ(all.size(), 6u);
  EXPECT_EQ(all[0], (Entry{"categort", "CAT", 0, imageText(app::kCategortSpec)}));
  EXPECT_EQ(all[3], (Entry{"projects", "PRO", 7, "an older structure"}));
  EXPECT_EQ(all[4].version, 8);
  EXPECT_EQ(UPG().DRIVER.clipped(), "");

  // Later starts no longer read the old table.
  addOldEntry("template", "tpl", 9, "never converted");
  start();
  EXPECT_EQ(entries().size(), 6u);
}

// A conversion is one transaction: cut short, it leaves the new table empty, which the next
// start fills again.
TEST_F(CatalogueLifeTest, AConversionKilledHalfwayIsDoneWholeAtTheNextStart) {
  freshEngineWithDriver();
  constexpr int kOldEntries = 300;
  for (int i = 0; i < kOldEntries; ++i)
    addOldEntry("old" + std::to_string(i), "O" + std::to_string(i), 1,
                "image " + std::to_string(i));
  support::ChildProcess child([this] {
    // The wait window's bar moves once per entry; the process dies at the 150th.
    window::HeadlessBackend screen;
    for (int i = 1; i < 150; ++i) screen.checkpoint("entry", [](window::Window&) {});
    screen.checkpoint("kill", [](window::Window&) { raise(SIGKILL); });
    window::setBackend(&screen);
    start();
    return 0;
  });
  ASSERT_TRUE(child.wait().killedBy(SIGKILL)) << "the child was to die in the conversion";

  EXPECT_TRUE(entries().empty()) << "nothing of a conversion cut short";
  start();
  const std::vector<Entry> all = entries();
  EXPECT_EQ(all.size(), static_cast<std::size_t>(kOldEntries + 5));
  EXPECT_EQ(std::count_if(all.begin(), all.end(),
                          [](const Entry& e) { return e.label.rfind("old", 0) == 0; }),
            kOldEntries);
}

TEST_F(CatalogueLifeTest, ACatalogueThatCannotBeOpenedOrCreatedStopsWithM2AndIsLeftAlone) {
  std::string sqliteGarbage = std::string("SQLite format 3", 16) + std::string(2000, '\x5A');
  const std::vector<std::tuple<std::string, std::string>> cases = {
      {"a foreign file", "name,size\nnot a catalogue,12\n"},
      {"a corrupt database", sqliteGarbage},
  };
  for (const auto& [name, content] : cases) {
    SCOPED_TRACE(name);
    support::writeFile(upgPath(), content);
    // The catalogue fails the same way for each of the five files: one Stop tells it all.
    answers.addAnswer(runtime::ButtonIgnore);
    const std::size_t shownBefore = answers.shown().size();
    start();
    const std::vector<std::string> texts = stopTexts();
    ASSERT_EQ(texts.size(), shownBefore + 1);
    EXPECT_EQ(texts.back().rfind("Upkeep: Unable to Open UPG file : cause ", 0), 0u)
        << texts.back();
    EXPECT_NE(texts.back().find("Upg.Vkf"), std::string::npos);
    EXPECT_TRUE(registration().UF.empty());
    EXPECT_EQ(support::readFile(upgPath()), content);
  }

  // A catalogue folder that does not exist: the create fails, and nothing is recorded.
  std::remove(upgPath().c_str());
  support::writeFile(settingsIni(), "[Upkept]\nPath=" + folder.file("missing") + "\n");
  answers.addAnswer(runtime::ButtonIgnore);
  const std::size_t shownBefore = answers.shown().size();
  start();
  ASSERT_EQ(stopTexts().size(), shownBefore + 1);
  EXPECT_EQ(stopTexts().back().rfind("Upkeep: Unable to Open UPG file : cause ", 0), 0u);
  EXPECT_TRUE(registration().UF.empty());
  EXPECT_FALSE(files::EXISTS(folder.file("missing")));
}

// A declaration the catalogue cannot keep is reported; the file is still registered, and
// nothing is stored for it.
TEST_F(CatalogueLifeTest, AnUnregisteredDriverOrAnImageTooLargeStopsAndStoresNothing) {
  struct Rec {
    app::Long ID;
  };
  static constexpr runtime::FieldDef kFields[] = {GD_FIELD(Rec, ID, "BIG:ID")};
  static const std::vector<files::KeySpec> manyKeys(75, files::KeySpec{"BIG:K", 0, {1}});
  const files::FileSpec big{.label = "big",
                            .prefix = "BIG",
                            .name = "big",
                            .fields = kFields,
                            .recordSize = sizeof(Rec),
                            .keys = manyKeys};
  const std::vector<std::tuple<files::FileSpec, std::string>> cases = {
      {app::kMainagcSpec, "Upkeep: Warning - Driver not located - GPF likely: mainagc"},
      {big, "Upkeep: Internal File Format Too Large. File : big"},
  };
  for (const auto& [spec, text] : cases) {
    SCOPED_TRACE(spec.label);
    freshEngineWithDriver();
    files::FileDeclaration file(spec);
    answers.addAnswer(runtime::ButtonIgnore);
    ds_UsingFile(spec.prefix, spec.label, file, 3, 0);
    EXPECT_EQ(stopTexts().back(), text);
    ASSERT_NE(usingFileEntry(spec.prefix), nullptr);
    EXPECT_EQ(usingFileEntry(spec.prefix)->VERSION, 3);
    EXPECT_TRUE(entries().empty());
  }
}

TEST_F(CatalogueLifeTest, BuildupgRebuildsTheKeysOnceAndTheSilentFlagComesFromSwitchOrSetting) {
  start();
  commandLine("/buildupg");
  start();
  EXPECT_TRUE(answers.shown().empty());
  EXPECT_EQ(registration().UF.size(), 5u);
  EXPECT_EQ(UpgSilent(), 0);
  commandLine("/UpkeptSILENT");
  SetUPGFileNames();
  EXPECT_EQ(UpgSilent(), 1);
  freshEngine();
  commandLine("");
  support::writeFile(settingsIni(), "[Command]\nSilent=true\n");
  SetUPGFileNames();
  EXPECT_EQ(UpgSilent(), 1);
}

class ImageComparisonTest : public testing::EngineTest {};

// The comparison of a stored image with the declaration's, byte by byte.
TEST_F(ImageComparisonTest, OnlyRealChangesCount) {
  // "1", code, driver string "d", owner "ow", attributes 20h, 1 key, 0 memos, length 4 ...
  const std::string base = std::string("1Vkfd\0ow\0\x20\x01\x00\x04\x00\x00\x00XYZ", 20);
  const auto bytes = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
  const auto with = [&](std::size_t at, std::string_view text, std::string s = {}) {
    if (s.empty()) s = base;
    return s.replace(at, text.size(), text);
  };
  const int r = static_cast<int>(base.size() + 1);
  struct Case {
    std::string name, stored, fresh;
    ImageComparison expected;
  };
  const std::vector<Case> cases = {
      {"the same bytes", base, base, ImageComparison::Same},
      {"a changed byte of the rest", base, with(17, "Q"), ImageComparison::Changed},
      {"another owner", base, with(7, "x"), ImageComparison::Changed},
      {"another driver string", base, with(4, "e"), ImageComparison::Changed},
      {"attributes and key count taken from the new image", base, with(9, "\x21\x02"),
       ImageComparison::Same},
      {"one image older", base, "Vkf" + base.substr(4), ImageComparison::Skipped},
      {"an in-memory file", with(1, "MEM"), with(17, "Q", with(1, "MEM")), ImageComparison::Same},
      {"the owner of a SQL file", with(1, "ODB"), with(7, "x", with(1, "ODB")),
       ImageComparison::Same},
      {"a SQL file's driver string", with(1, "ODB"), with(4, "e", with(1, "ODB")),
       ImageComparison::Changed},
  };
  // An in-memory file's image is passed over byte by byte, each with its line.
  const std::vector<std::string> memoryLines(static_cast<std::size_t>(r),
                                             "[Upkeep] Ignoring MEMORY file...categort");
  for (const char* switches : {"", "/debugupkall"}) {
    commandLine(switches);
    resetDebugSettings();
    LoadDebugSettings();
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name + " " + switches);
      takeTrace();
      EXPECT_EQ(compareImages(bytes(c.stored), bytes(c.fresh), r, "categort"), c.expected);
      const bool traced = *switches != 0 && c.stored.substr(1, 3) == "MEM";
      EXPECT_EQ(takeTrace(), traced ? memoryLines : std::vector<std::string>{});
    }
  }
}

}  // namespace
}  // namespace upkeep
