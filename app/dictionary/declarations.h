// The program's seven FILE declarations: driver, file name, keys and memos of each, over the
// record layouts of records.h. Every one is thread-scoped: each thread gets its own instance
// (record buffer, memos, open state) of each file.
//
// Records are reached through their prefix: PRO->DESCRIPTION is the calling thread's
// PRO:DESCRIPTION.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "app/dictionary/globals.h"
#include "app/dictionary/records.h"
#include "platform/files/file_declaration.h"

namespace app {

// The 1-based number of the field labelled `label` in `fields`; not a constant expression (so
// a compile error) when there is none.
consteval std::int16_t fieldNumber(std::span<const FieldDef> fields, std::string_view label) {
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (fields[i].label == label) return static_cast<std::int16_t>(i + 1);
  throw "no field with this label";
}

using files::KeyDup;
using files::KeyNoCase;
using files::KeyOpt;
using files::KeyPrimary;

inline constexpr std::uint32_t kMemoSize = 64000;

inline constexpr files::KeySpec kProjectsKeys[] = {
    {"PRO:K_CODEBY", KeyDup | KeyNoCase | KeyOpt, {fieldNumber(kProjectsFields, "PRO:CODEBY")}},
    {"PRO:K_DESCRIPTION",
     KeyDup | KeyNoCase | KeyOpt,
     {fieldNumber(kProjectsFields, "PRO:DESCRIPTION")}},
    {"PRO:K_CATEGORY", KeyDup | KeyNoCase | KeyOpt, {fieldNumber(kProjectsFields, "PRO:CATEGORY")}},
    {"PRO:P_ID", KeyPrimary | KeyNoCase | KeyOpt, {fieldNumber(kProjectsFields, "PRO:ID")}},
};
inline constexpr files::FileSpec kProjectsSpec{
    .label = "projects",
    .prefix = "PRO",
    .driver = files::Driver::Caskfile,
    .name = "projects.aaa",
    .create = true,
    .fields = kProjectsFields,
    .recordSize = sizeof(Projects),
    .keys = kProjectsKeys,
};

inline constexpr files::KeySpec kCategortKeys[] = {
    {"CAT:P_CAT",
     KeyPrimary | KeyNoCase | KeyOpt,
     {fieldNumber(kCategortFields, "CAT:CATDESCRIPTION")}},
};
inline constexpr files::FileSpec kCategortSpec{
    .label = "categort",
    .prefix = "CAT",
    .driver = files::Driver::Caskfile,
    .name = "category.aaa",
    .create = true,
    .fields = kCategortFields,
    .recordSize = sizeof(Categort),
    .keys = kCategortKeys,
};

inline constexpr files::KeySpec kTemplateKeys[] = {
    {"TPL:K_DESCRIPTION",
     KeyDup | KeyNoCase | KeyOpt,
     {fieldNumber(kTemplateFields, "TPL:DESCRIPTION")}},
    {"TPL:P_ID", KeyPrimary | KeyNoCase | KeyOpt, {fieldNumber(kTemplateFields, "TPL:ID")}},
};
inline constexpr files::MemoSpec kTemplateMemos[] = {
    {"TPL:CODING", kMemoSize, files::MemoKindBlob},
};
inline constexpr files::FileSpec kTemplateSpec{
    .label = "template",
    .prefix = "TPL",
    .driver = files::Driver::Caskfile,
    .name = "template.aaa",
    .create = true,
    .fields = kTemplateFields,
    .recordSize = sizeof(Template),
    .keys = kTemplateKeys,
    .memos = kTemplateMemos,
};

// In spite of its name COD:P_NAME allows duplicates and is not primary.
inline constexpr files::KeySpec kCodebyKeys[] = {
    {"COD:P_NAME", KeyDup | KeyNoCase | KeyOpt, {fieldNumber(kCodebyFields, "COD:NAME")}},
};
inline constexpr files::FileSpec kCodebySpec{
    .label = "codeby",
    .prefix = "COD",
    .driver = files::Driver::Caskfile,
    .name = "codeby.aaa",
    .create = true,
    .fields = kCodebyFields,
    .recordSize = sizeof(Codeby),
    .keys = kCodebyKeys,
};

inline constexpr files::KeySpec kFuncKeys[] = {
    {"FUN:P_ID", KeyPrimary | KeyNoCase | KeyOpt, {fieldNumber(kFuncFields, "FUN:ID")}},
};
inline constexpr files::MemoSpec kFuncMemos[] = {
    {"FUN:EXAMPLECODE", kMemoSize, files::MemoKindBlob},
};
// "FUNC" has no extension: the driver adds its default one.
inline constexpr files::FileSpec kFuncSpec{
    .label = "func",
    .prefix = "FUN",
    .driver = files::Driver::Caskfile,
    .name = "FUNC",
    .create = true,
    .fields = kFuncFields,
    .recordSize = sizeof(Func),
    .keys = kFuncKeys,
    .memos = kFuncMemos,
};

// The name of mainagc is GLO:MAINAGCFILE as it stands when the file is opened.
inline constexpr files::FileSpec kMainagcSpec{
    .label = "mainagc",
    .prefix = "AGC",
    .driver = files::Driver::Ascii,
    .nameVariable = files::bindName(GLO.MAINAGCFILE),
    .create = true,
    .fields = kMainagcFields,
    .recordSize = sizeof(Mainagc),
};

inline constexpr files::KeySpec kFormatsKeys[] = {
    {"CFG:KEY_MAIN",
     KeyNoCase | KeyOpt,
     {fieldNumber(kFormatsFields, "CFG:APPNAME"), fieldNumber(kFormatsFields, "CFG:PROCID"),
      fieldNumber(kFormatsFields, "CFG:USERID"), fieldNumber(kFormatsFields, "CFG:CTRLID"),
      fieldNumber(kFormatsFields, "CFG:FORMATID")}},
};
inline constexpr files::FileSpec kFormatsSpec{
    .label = "Formats",
    .prefix = "CFG",
    .driver = files::Driver::Caskfile,
    .name = "Formats.FDB",
    .create = true,
    .fields = kFormatsFields,
    .recordSize = sizeof(Formats),
    .keys = kFormatsKeys,
};

// The FILEs. `template` is a C++ keyword, hence `template_`.
inline const files::ThreadFile<Projects> projects{kProjectsSpec};
inline const files::ThreadFile<Categort> categort{kCategortSpec};
inline const files::ThreadFile<Template> template_{kTemplateSpec};
inline const files::ThreadFile<Codeby> codeby{kCodebySpec};
inline const files::ThreadFile<Func> func{kFuncSpec};
inline const files::ThreadFile<Mainagc> mainagc{kMainagcSpec};
inline const files::ThreadFile<Formats> formats{kFormatsSpec};

// The seven FILEs in the order each thread sets up its instances; released in reverse.
inline const std::array<const files::PerThreadFile*, 7> kThreadFileOrder = {
    &projects, &codeby, &mainagc, &template_, &categort, &func, &formats};

// A record prefix: the calling thread's record buffer of one FILE.
template <class Record>
class RecordPrefix {
 public:
  explicit constexpr RecordPrefix(const files::ThreadFile<Record>& file) : file_(file) {}
  Record* operator->() const { return &file_.record(); }
  Record& operator*() const { return file_.record(); }

 private:
  const files::ThreadFile<Record>& file_;
};

inline constexpr RecordPrefix<Projects> PRO{projects};
inline constexpr RecordPrefix<Categort> CAT{categort};
inline constexpr RecordPrefix<Template> TPL{template_};
inline constexpr RecordPrefix<Codeby> COD{codeby};
inline constexpr RecordPrefix<Func> FUN{func};
inline constexpr RecordPrefix<Mainagc> AGC{mainagc};
inline constexpr RecordPrefix<Formats> CFG{formats};

// The dictionary's one relation: codeby is the parent of projects, COD:NAME = PRO:CODEBY over
// the key PRO:K_CODEBY, with no action on update or delete (modes 0).
struct RelationSpec {
  const files::PerThreadFile* parent;
  const files::PerThreadFile* child;
  std::string_view childKey;
  std::int16_t parentField;  // the linked fields, 1-based
  std::int16_t childField;
  int updateMode;
  int deleteMode;
};
inline constexpr RelationSpec kCodebyProjects{&codeby,
                                              &projects,
                                              "PRO:K_CODEBY",
                                              fieldNumber(kCodebyFields, "COD:NAME"),
                                              fieldNumber(kProjectsFields, "PRO:CODEBY"),
                                              0,
                                              0};

}  // namespace app
