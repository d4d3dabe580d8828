// The record layouts of the program's seven data files: packed structs over the record buffers,
// with their field tables. The offsets and sizes are what the drivers store and what the
// upgrade engine records, so each is fixed by a static_assert.
#pragma once

#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/text_types.h"

namespace app {

using runtime::Byte;
using runtime::CString;
using runtime::Date;
using runtime::FieldDef;
using runtime::Long;
using runtime::Short;
using runtime::String;

// projects (PRO): one AGK project.
struct Projects {
  Long ID;
  CString<20> TYPEC;  // "Classic" or "Studio"
  CString<100> DESCRIPTION;
  CString<255> PROJECTPATH;  // the project's .agk file
  CString<50> CATEGORY;
  Date LASTDATE;
  Date LASTACCESS;
  Date CREATETIONDATE;
  Byte WINDOWSEXE;
  Byte ANDROID;
  Byte IOS;
  Byte HTML5;
  CString<100> CODEBY;  // a forum member, COD:NAME
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

// categort (CAT): one category name.
struct Categort {
  CString<50> CATDESCRIPTION;
};
static_assert(sizeof(Categort) == 50);

inline constexpr FieldDef kCategortFields[] = {
    GD_FIELD(Categort, CATDESCRIPTION, "CAT:CATDESCRIPTION").withPicture("@s49"),
};
static_assert(runtime::hasOffsets(kCategortFields, {0}));

// template (TPL): a project template; its lines are in the memo TPL:CODING.
struct Template {
  Long ID;
  CString<100> DESCRIPTION;
  CString<255> PROJECTPATH;  // the template line file
};
static_assert(sizeof(Template) == 359);

inline constexpr FieldDef kTemplateFields[] = {
    GD_FIELD(Template, ID, "TPL:ID"),
    GD_FIELD(Template, DESCRIPTION, "TPL:DESCRIPTION"),
    GD_FIELD(Template, PROJECTPATH, "TPL:PROJECTPATH"),
};
static_assert(runtime::hasOffsets(kTemplateFields, {0, 4, 104}));

// codeby (COD): a forum member's name.
struct Codeby {
  CString<100> NAME;
};
static_assert(sizeof(Codeby) == 100);

inline constexpr FieldDef kCodebyFields[] = {
    GD_FIELD(Codeby, NAME, "COD:NAME"),
};
static_assert(runtime::hasOffsets(kCodebyFields, {0}));

// func (FUN): a code snippet; its example code is in the memo FUN:EXAMPLECODE.
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

// mainagc (AGC): one line of a main.agc being written.
struct Mainagc {
  String<1024> PLINE;
};
static_assert(sizeof(Mainagc) == 1024);

inline constexpr FieldDef kMainagcFields[] = {
    GD_FIELD(Mainagc, PLINE, "AGC:PLINE"),
};
static_assert(runtime::hasOffsets(kMainagcFields, {0}));

// The list-format file (CFG): a saved column layout of a list, for the list format manager.
struct Formats {
  String<30> APPNAME;
  String<30> PROCID;
  Short USERID;
  Short CTRLID;
  Short FORMATID;
  String<30> FORMATNAME;
  Byte FLAG;
  String<5120> FORMAT;
  String<2048> VARLINE;
};
static_assert(sizeof(Formats) == 7265);

inline constexpr FieldDef kFormatsFields[] = {
    GD_FIELD(Formats, APPNAME, "CFG:APPNAME"),   GD_FIELD(Formats, PROCID, "CFG:PROCID"),
    GD_FIELD(Formats, USERID, "CFG:USERID"),     GD_FIELD(Formats, CTRLID, "CFG:CTRLID"),
    GD_FIELD(Formats, FORMATID, "CFG:FORMATID"), GD_FIELD(Formats, FORMATNAME, "CFG:FORMATNAME"),
    GD_FIELD(Formats, FLAG, "CFG:FLAG"),         GD_FIELD(Formats, FORMAT, "CFG:FORMAT"),
    GD_FIELD(Formats, VARLINE, "CFG:VARLINE"),
};
static_assert(runtime::hasOffsets(kFormatsFields, {0, 30, 60, 62, 64, 66, 96, 97, 5217}));

}  // namespace app
