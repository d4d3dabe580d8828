// The program's projects file as an older version declared it: today's 10,800-byte record
// without THREADLINK, with the same four keys. An upgrade of it to today's declaration adds
// the field and moves LONGDESCRIPTION, as a user's first start of a new version does.
#pragma once

#include <string>

#include "app/dictionary/declarations.h"

namespace bench {

struct OldProjects {
  app::Long ID;
  app::CString<20> TYPEC;
  app::CString<100> DESCRIPTION;
  app::CString<255> PROJECTPATH;
  app::CString<50> CATEGORY;
  app::Date LASTDATE;
  app::Date LASTACCESS;
  app::Date CREATETIONDATE;
  app::Byte WINDOWSEXE;
  app::Byte ANDROID;
  app::Byte IOS;
  app::Byte HTML5;
  app::CString<100> CODEBY;
  app::CString<10000> LONGDESCRIPTION;
};

inline constexpr app::FieldDef kOldProjectsFields[] = {
    GD_FIELD(OldProjects, ID, "PRO:ID").withPicture("@n-14"),
    GD_FIELD(OldProjects, TYPEC, "PRO:TYPEC"),
    GD_FIELD(OldProjects, DESCRIPTION, "PRO:DESCRIPTION").withPicture("@s99"),
    GD_FIELD(OldProjects, PROJECTPATH, "PRO:PROJECTPATH").withPicture("@s254"),
    GD_FIELD(OldProjects, CATEGORY, "PRO:CATEGORY").withPicture("@s49"),
    GD_FIELD(OldProjects, LASTDATE, "PRO:LASTDATE"),
    GD_FIELD(OldProjects, LASTACCESS, "PRO:LASTACCESS"),
    GD_FIELD(OldProjects, CREATETIONDATE, "PRO:CREATETIONDATE"),
    GD_FIELD(OldProjects, WINDOWSEXE, "PRO:WINDOWSEXE"),
    GD_FIELD(OldProjects, ANDROID, "PRO:ANDROID"),
    GD_FIELD(OldProjects, IOS, "PRO:IOS"),
    GD_FIELD(OldProjects, HTML5, "PRO:HTML5"),
    GD_FIELD(OldProjects, CODEBY, "PRO:CODEBY"),
    GD_FIELD(OldProjects, LONGDESCRIPTION, "PRO:LONGDESCRIPTION"),
};

inline constexpr files::KeySpec kOldProjectsKeys[] = {
    {"PRO:K_CODEBY",
     app::KeyDup | app::KeyNoCase | app::KeyOpt,
     {app::fieldNumber(kOldProjectsFields, "PRO:CODEBY")}},
    {"PRO:K_DESCRIPTION",
     app::KeyDup | app::KeyNoCase | app::KeyOpt,
     {app::fieldNumber(kOldProjectsFields, "PRO:DESCRIPTION")}},
    {"PRO:K_CATEGORY",
     app::KeyDup | app::KeyNoCase | app::KeyOpt,
     {app::fieldNumber(kOldProjectsFields, "PRO:CATEGORY")}},
    {"PRO:P_ID",
     app::KeyPrimary | app::KeyNoCase | app::KeyOpt,
     {app::fieldNumber(kOldProjectsFields, "PRO:ID")}},
};

inline constexpr files::FileSpec kOldProjectsSpec{
    .label = "projects",
    .prefix = "PRO",
    .driver = files::Driver::Caskfile,
    .name = "projects.aaa",
    .create = true,
    .fields = kOldProjectsFields,
    .recordSize = sizeof(OldProjects),
    .keys = kOldProjectsKeys,
};

// Project `i` (from 1) as a user's file holds it: short texts, a long description of a few
// hundred characters, the rest of the record blank.
inline void fillOldProject(OldProjects& project, int i) {
  const std::string number = std::to_string(i);
  project.ID = i;
  project.TYPEC = i % 3 == 0 ? "Classic" : "Studio";
  project.DESCRIPTION = "A platform game with three levels, number " + number;
  project.PROJECTPATH = "/home/someone/AGK/Projects/Platformer" + number + "/Platformer.agk";
  project.CATEGORY = "Games " + std::to_string(i % 50);
  project.LASTDATE = runtime::dateFromYmd(2024, 5, 1 + i % 28);
  project.LASTACCESS = runtime::dateFromYmd(2024, 6, 1 + i % 28);
  project.CREATETIONDATE = runtime::dateFromYmd(2020, 12, 31);
  project.WINDOWSEXE = 1;
  project.ANDROID = static_cast<std::uint8_t>(i % 2);
  project.IOS = 0;
  project.HTML5 = 1;
  project.CODEBY = "Member " + std::to_string(i % 400);
  std::string description;
  for (int line = 0; line < 6; ++line)
    description += "Line " + std::to_string(line) + " of the notes on project " + number + ". ";
  project.LONGDESCRIPTION = description;
}

}  // namespace bench
