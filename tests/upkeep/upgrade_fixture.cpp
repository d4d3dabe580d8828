#include "tests/upkeep/upgrade_fixture.h"

#include <gtest/gtest.h>

#include "app/dictionary/declarations.h"
#include "app/dictionary/upgrade_registration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/text.h"
#include "upkeep/engine_lifecycle.h"
#include "upkeep/file_open.h"
#include "upkeep/registration.h"
#include "upkeep/settings_ini.h"

namespace upkeep::testing {
namespace {

constexpr runtime::FieldDef kOldFields[] = {
    GD_FIELD(OldProjects, ID, "PRO:ID").withPicture("@n-14"),
    GD_FIELD(OldProjects, TYPEC, "PRO:TYPEC"),
    GD_FIELD(OldProjects, DESCRIPTION, "PRO:DESCRIPTION").withPicture("@s49"),
    GD_FIELD(OldProjects, PROJECTPATH, "PRO:PROJECTPATH").withPicture("@s254"),
    GD_FIELD(OldProjects, CATEGORY, "PRO:CATEGORY").withPicture("@s49"),
    GD_FIELD(OldProjects, LASTDATE, "PRO:LASTDATE"),
    GD_FIELD(OldProjects, LASTACCESS, "PRO:LASTACCESS"),
    GD_FIELD(OldProjects, CREATETIONDATE, "PRO:CREATETIONDATE"),
    GD_FIELD(OldProjects, WINDOWSEXE, "PRO:WINDOWSEXE"),
    GD_FIELD(OldProjects, ANDROID, "PRO:ANDROID"),
    GD_FIELD(OldProjects, IOS, "PRO:IOS"),
    GD_FIELD(OldProjects, CODEBY, "PRO:CODEBY"),
    GD_FIELD(OldProjects, LINK, "PRO:LINK"),
};
using files::KeyDup;
using files::KeyNoCase;
using files::KeyOpt;
constexpr files::KeySpec kOldKeys[] = {
    {"PRO:K_CODEBY", KeyDup | KeyNoCase | KeyOpt, {12}},
    {"PRO:K_DESCRIPTION", KeyDup | KeyNoCase | KeyOpt, {3}},
    {"PRO:K_CATEGORY", KeyDup | KeyNoCase | KeyOpt, {5}},
    {"PRO:P_ID", files::KeyPrimary | KeyNoCase | KeyOpt, {1}},
};
constexpr files::MemoSpec kOldMemos[] = {{"PRO:LONGDESCRIPTION", 10000, files::MemoKindBlob}};

std::string longDescription(int i) {
  std::string text;
  for (int n = 0; n < i % 4; ++n) text += "Long notes " + std::to_string(i) + ". ";
  return text;
}

std::string threadLink(int i) { return "https://forum.example/t=" + std::to_string(i); }

}  // namespace

const files::FileSpec kOldProjectsSpec{
    .label = "projects",
    .prefix = "PRO",
    .driver = files::Driver::Caskfile,
    .name = "projects.aaa",
    .create = true,
    .fields = kOldFields,
    .recordSize = sizeof(OldProjects),
    .keys = kOldKeys,
    .memos = kOldMemos,
};

std::string oldDescription(int i) {
  // 48 bytes and a two-byte character: the shorter field of the old declaration full.
  std::string text = "Project " + std::to_string(i) + " \xC3\xA9 ";
  return text + std::string(48 - text.size(), 'x');
}

void fillOldProject(files::FileDeclaration& file, int i) {
  files::CLEAR(file);
  OldProjects& r = file.recordAs<OldProjects>();
  r.ID = i;
  r.TYPEC = i % 2 != 0 ? "Classic" : "Studio";
  r.DESCRIPTION = oldDescription(i);
  r.PROJECTPATH = "/home/agk/p" + std::to_string(i) + "/p.agk";
  r.CATEGORY = "cat" + std::to_string(i % 7);
  r.LASTDATE = 80000 + i % 1000;
  r.WINDOWSEXE = static_cast<std::uint8_t>(i % 2);
  r.IOS = 1;
  r.CODEBY = "member" + std::to_string(i % 13);
  r.LINK = threadLink(i);
  file.memo(1)->assign(longDescription(i));
}

UpgradeTest::UpgradeTest() = default;

UpgradeTest::~UpgradeTest() {
  files::CLOSE(oldProjects);
  files::CLOSE(app::projects.get());
  app::projects.release();
  app::resetUpgradeRegistration();
}

void UpgradeTest::writeOldProjects(int count) {
  upkeepProcessStart();
  SetTranslationIni(settingsIni().substr(settingsIni().rfind('/') + 1));
  static files::FileDeclaration driverFile(app::kCodebySpec);
  ds_AddDriver("Vkf", driverFile, 1, driverFile.record().data());
  ds_UsingFile("PRO", "projects", oldProjects, 7, 0);
  files::CREATE(oldProjects);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
  files::OPEN(oldProjects, 0x12);
  files::STREAM(oldProjects);
  for (int i = 1; i <= count; ++i) {
    fillOldProject(oldProjects, i);
    files::APPEND(oldProjects);
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
  }
  files::FLUSH(oldProjects);
  files::BUILD(oldProjects);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
  files::CLOSE(oldProjects);
}

void UpgradeTest::startProgram(const std::vector<std::pair<std::string, std::string>>& options) {
  files::CLOSE(app::projects.get());
  upkeepProcessStart();
  SetTranslationIni(settingsIni().substr(settingsIni().rfind('/') + 1));
  app::resetUpgradeRegistration();
  for (const auto& [option, value] : options) ds_SetOption(option, value);
  ds_AlternateFieldName("PRO:THREADLINK", "LINK");
  ASSERT_TRUE(app::registerWithUpgradeEngine());
}

int UpgradeTest::openProjects() {
  ds_FileOpen(app::projects.get(), 0x42);
  return runtime::ERRORCODE();
}

void UpgradeTest::expectConverted(int count) {
  files::FileDeclaration& file = app::projects.get();
  ASSERT_EQ(files::RECORDS(file), count);
  const files::KeyDef& byId = *file.key(file.keyNumber("PRO:P_ID"));
  files::SET(file, byId);
  app::Projects& r = app::projects.record();
  int expected = 0;
  for (files::NEXT(file); runtime::ERRORCODE() == 0; files::NEXT(file)) {
    const int i = ++expected;
    ASSERT_EQ(r.ID, i);
    ASSERT_EQ(r.DESCRIPTION.clipped(), oldDescription(i)) << i;
    ASSERT_EQ(r.TYPEC.clipped(), i % 2 != 0 ? "Classic" : "Studio") << i;
    ASSERT_EQ(r.CATEGORY.clipped(), "cat" + std::to_string(i % 7)) << i;
    ASSERT_EQ(r.LASTDATE.value(), 80000 + i % 1000) << i;
    ASSERT_EQ(r.WINDOWSEXE, i % 2) << i;
    ASSERT_EQ(r.IOS, 1) << i;
    ASSERT_EQ(r.HTML5, 0) << i;
    ASSERT_EQ(r.CODEBY.clipped(), "member" + std::to_string(i % 13)) << i;
    ASSERT_EQ(r.THREADLINK.clipped(), threadLink(i)) << i;
    ASSERT_EQ(r.LONGDESCRIPTION.clipped(), runtime::CLIP(longDescription(i))) << i;
  }
  EXPECT_EQ(expected, count);
  // The other keys were built: every record is found through them.
  for (const char* key : {"PRO:K_CODEBY", "PRO:K_DESCRIPTION", "PRO:K_CATEGORY"}) {
    files::SET(file, *file.key(file.keyNumber(key)));
    int seen = 0;
    for (files::NEXT(file); runtime::ERRORCODE() == 0; files::NEXT(file)) ++seen;
    EXPECT_EQ(seen, count) << key;
  }
  r.ID = count;
  files::GET(file, byId);
  EXPECT_EQ(runtime::ERRORCODE(), 0);
  EXPECT_EQ(r.THREADLINK.clipped(), threadLink(count));
}

void UpgradeTest::expectOld(int count) {
  files::OPEN(oldProjects, 0x40);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
  ASSERT_EQ(files::RECORDS(oldProjects), count);
  files::SET(oldProjects, *oldProjects.key(4));
  const OldProjects& r = oldProjects.recordAs<OldProjects>();
  int expected = 0;
  for (files::NEXT(oldProjects); runtime::ERRORCODE() == 0; files::NEXT(oldProjects)) {
    const int i = ++expected;
    ASSERT_EQ(r.ID, i);
    ASSERT_EQ(r.DESCRIPTION.clipped(), oldDescription(i)) << i;
    ASSERT_EQ(r.LINK.clipped(), threadLink(i)) << i;
    ASSERT_EQ(oldProjects.memo(1)->content(), longDescription(i)) << i;
  }
  EXPECT_EQ(expected, count);
  files::CLOSE(oldProjects);
}

std::vector<std::string> UpgradeTest::boxTexts() const {
  std::vector<std::string> texts;
  for (const runtime::MessageRequest& box : answers.shown()) texts.push_back(box.text);
  return texts;
}

}  // namespace upkeep::testing
