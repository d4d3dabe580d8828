// The projects and func records of the application's dictionary, built here from their
// tables for the descriptor and declaration tests.
#pragma once

#include "platform/files/file_declaration.h"
#include "platform/runtime/record_layout.h"

namespace files::test {

using runtime::Byte;
using runtime::CString;
using runtime::Date;
using runtime::FieldDef;
using runtime::Long;

struct Projects {
  Long ID;
  CString<20> TYPEC;
  CString<100> DESCRIPTION;
  CString<255> PROJECTPATH;
  CString<50> CATEGORY;
  Date LASTDATE;
  Date LASTACCESS;
  Date CREATETIONDATE;
  Byte WINDOWSEXE;
  Byte ANDROID;
  Byte IOS;
  Byte HTML5;
  CString<100> CODEBY;
  CString<255> THREADLINK;
  CString<10000> LONGDESCRIPTION;
};
static_assert(sizeof(Projects) == 10800);

inline constexpr FieldDef kProjectsFields[] = {
    GD_FIELD(Projects, ID, "PRO:ID").withPicture("@n-14"),
    GD_FIELD(Projects, TYPEC, "PRO:TYPEC"),
    GD_FIELD(Projects, DESCRIPTION, "PRO:DESCRIPTION").withPicture("@s99"),
    GD_FIELD(Projects, PROJECTPATH, "PRO:PROJECTPATH").withPicture("@s254"),
    GD_FIELD(Projects, CATEGORY, "PRO:CATEGORY").withPicture("@s49"),
    GD_FIELD(Projects, LASTDATE, "PRO:LASTDATE"),
    GD_FIELD(Projects, LASTACCESS, "PRO:LASTACCESS"),
    GD_FIELD(Projects, CREATETIONDATE, "PRO:CREATETIONDATE"),
    GD_FIELD(Projects, WINDOWSEXE, "PRO:WINDOWSEXE"),
    GD_FIELD(Projects, ANDROID, "PRO:ANDROID"),
    GD_FIELD(Projects, IOS, "PRO:IOS"),
    GD_FIELD(Projects, HTML5, "PRO:HTML5"),
    GD_FIELD(Projects, CODEBY, "PRO:CODEBY"),
    GD_FIELD(Projects, THREADLINK, "PRO:THREADLINK"),
    GD_FIELD(Projects, LONGDESCRIPTION, "PRO:LONGDESCRIPTION"),
};
static_assert(runtime::hasOffsets(kProjectsFields, {0, 4, 24, 124, 379, 429, 433, 437, 441, 442,
                                                    443, 444, 445, 545, 800}));

inline constexpr KeySpec kProjectsKeys[] = {
    {"PRO:K_CODEBY", KeyDup | KeyNoCase | KeyOpt, {13}},
    {"PRO:K_DESCRIPTION", KeyDup | KeyNoCase | KeyOpt, {3}},
    {"PRO:K_CATEGORY", KeyDup | KeyNoCase | KeyOpt, {5}},
    {"PRO:P_ID", KeyPrimary | KeyNoCase | KeyOpt, {1}},
};

inline constexpr FileSpec kProjectsSpec{
    .label = "projects",
    .prefix = "PRO",
    .driver = Driver::Caskfile,
    .name = "projects.aaa",
    .create = true,
    .fields = kProjectsFields,
    .recordSize = sizeof(Projects),
    .keys = kProjectsKeys,
};

struct Func {
  Long ID;
  CString<100> NAME;
  CString<1024> DESCRIPTION;
  Byte FULLCODE;
  CString<255> FORUMLINK;
  CString<30> USER;
};
static_assert(sizeof(Func) == 1414);

inline constexpr FieldDef kFuncFields[] = {
    GD_FIELD(Func, ID, "FUN:ID"),
    GD_FIELD(Func, NAME, "FUN:NAME"),
    GD_FIELD(Func, DESCRIPTION, "FUN:DESCRIPTION"),
    GD_FIELD(Func, FULLCODE, "FUN:FULLCODE"),
    GD_FIELD(Func, FORUMLINK, "FUN:FORUMLINK"),
    GD_FIELD(Func, USER, "FUN:USER"),
};
static_assert(runtime::hasOffsets(kFuncFields, {0, 4, 104, 1128, 1129, 1384}));

inline constexpr KeySpec kFuncKeys[] = {
    {"FUN:P_ID", KeyPrimary | KeyNoCase | KeyOpt, {1}},
};
inline constexpr MemoSpec kFuncMemos[] = {
    {"FUN:EXAMPLECODE", 64000, MemoKindBlob},
};

inline constexpr FileSpec kFuncSpec{
    .label = "func",
    .prefix = "FUN",
    .driver = Driver::Caskfile,
    .name = "FUNC",
    .create = true,
    .fields = kFuncFields,
    .recordSize = sizeof(Func),
    .keys = kFuncKeys,
    .memos = kFuncMemos,
};

}  // namespace files::test
