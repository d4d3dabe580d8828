// Shared by the tests of the upgrade of one file: the projects file as an older version of the
// program declared it (version 7: a shorter DESCRIPTION, no HTML5, THREADLINK called LINK, the
// long description in a memo), a run of that program writing it, and a start of today's
// program, whose registration records projects at version 8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/files/file_declaration.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/scripted_answerer.h"
#include "platform/runtime/text_types.h"
#include "tests/upkeep/engine_fixture.h"

namespace upkeep::testing {

struct OldProjects {
  runtime::Long ID;
  runtime::CString<20> TYPEC;
  runtime::CString<50> DESCRIPTION;
  runtime::CString<255> PROJECTPATH;
  runtime::CString<50> CATEGORY;
  runtime::Date LASTDATE;
  runtime::Date LASTACCESS;
  runtime::Date CREATETIONDATE;
  runtime::Byte WINDOWSEXE;
  runtime::Byte ANDROID;
  runtime::Byte IOS;
  runtime::CString<100> CODEBY;
  runtime::CString<255> LINK;
};

extern const files::FileSpec kOldProjectsSpec;

// Record `i` (from 1) of the old file, as written.
void fillOldProject(files::FileDeclaration& file, int i);
// The description record `i` holds.
std::string oldDescription(int i);

class UpgradeTest : public EngineTest {
 protected:
  UpgradeTest();
  ~UpgradeTest() override;

  // A run of the older program: a fresh engine records its projects declaration at version 7
  // and `count` records are written with it into "projects.aaa".
  void writeOldProjects(int count);
  // A start of today's program: a fresh engine, THREADLINK's old name LINK, the program's own
  // registration (projects at version 8). Each line of `options` is a ds_SetOption pair.
  void startProgram(const std::vector<std::pair<std::string, std::string>>& options = {});
  // Opens today's projects file through ds_FileOpen (mode 42h); answers the error code.
  int openProjects();
  // Checks that the open projects file holds `count` records, each the converted old record
  // of its ID, and that its keys read them back.
  void expectConverted(int count);
  // Checks that "projects.aaa" reads with the old declaration and holds `count` old records.
  void expectOld(int count);
  // The texts of the boxes shown so far.
  std::vector<std::string> boxTexts() const;

  runtime::ScriptedAnswerer answers;
  runtime::InterceptingHalter halter;
  runtime::ScopedMessageHandlers handlers{answers, halter};
  files::FileDeclaration oldProjects{kOldProjectsSpec};
};

}  // namespace upkeep::testing
