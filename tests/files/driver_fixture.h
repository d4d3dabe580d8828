// A small keyed file for the driver tests: people with a unique id, a NOCASE name key with
// duplicates, a two-component key (city ascending, score descending) and a memo, declared in
// a scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/text_types.h"
#include "tests/support/scratch_folder.h"

namespace files::test {

struct Person {
  runtime::Long ID;
  runtime::CString<30> NAME;
  runtime::String<20> CITY;
  runtime::Date BORN;
  runtime::Real SCORE;
  runtime::Short RANK;
};
static_assert(sizeof(Person) == 68);

inline constexpr runtime::FieldDef kPersonFields[] = {
    GD_FIELD(Person, ID, "PER:ID"),       GD_FIELD(Person, NAME, "PER:NAME"),
    GD_FIELD(Person, CITY, "PER:CITY"),   GD_FIELD(Person, BORN, "PER:BORN"),
    GD_FIELD(Person, SCORE, "PER:SCORE"), GD_FIELD(Person, RANK, "PER:RANK"),
};
static_assert(runtime::hasOffsets(kPersonFields, {0, 4, 34, 54, 58, 66}));

enum PersonKey { PId = 1, PName = 2, PCity = 3 };
inline constexpr KeySpec kPersonKeys[] = {
    {"PER:P_ID", KeyPrimary, {1}},
    {"PER:K_NAME", KeyDup | KeyNoCase | KeyOpt, {2}},
    {"PER:K_CITY", KeyDup, {3, -5}},
};
inline constexpr MemoSpec kPersonMemos[] = {{"PER:NOTES", 1000, MemoKindBlob}};

inline constexpr FileSpec kPersonSpec{
    .label = "people",
    .prefix = "PER",
    .driver = Driver::Caskfile,
    .fields = kPersonFields,
    .recordSize = sizeof(Person),
    .keys = kPersonKeys,
    .memos = kPersonMemos,
};

// A declaration of `spec` under the file name `name`.
inline std::unique_ptr<FileDeclaration> declare(FileSpec spec, const std::string& name) {
  spec.name = name;
  return std::make_unique<FileDeclaration>(spec);
}

inline Person& person(FileDeclaration& file) { return file.recordAs<Person>(); }

// Fills the record buffer (and memo) of `file` with one person.
inline void setPerson(FileDeclaration& file, int id, std::string_view name, std::string_view city,
                      double score, std::string_view notes = {}) {
  CLEAR(file);
  Person& p = person(file);
  p.ID = id;
  p.NAME = name;
  p.CITY = city;
  p.SCORE = score;
  p.BORN = runtime::Date(1990, 1 + id % 12, 1 + id % 28);
  p.RANK = static_cast<std::int16_t>(id % 5);
  if (!notes.empty()) file.memo(1)->setBytes(notes);
}

// A scratch folder with a created, open people file.
class PeopleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file = declare(kPersonSpec, folder.file("people.dat"));
    CREATE(*file);
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
    OPEN(*file, 0x42);
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
  }

  const KeyDef& key(int number) const { return *file->key(number); }

  void add(int id, std::string_view name, std::string_view city, double score,
           std::string_view notes = {}) {
    setPerson(*file, id, name, city, score, notes);
    ADD(*file);
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
  }

  // The ids NEXT reads after SET by `key` (0 = physical order), or PREVIOUS with `backwards`.
  std::string readIds(int keyNumber, bool backwards = false) {
    if (keyNumber == 0) {
      SET(*file);
    } else {
      SET(*file, key(keyNumber));
    }
    std::string ids;
    for (;;) {
      backwards ? PREVIOUS(*file) : NEXT(*file);
      if (runtime::ERRORCODE() != 0) break;
      ids += (ids.empty() ? "" : " ") + std::to_string(person(*file).ID.value());
    }
    EXPECT_EQ(runtime::ERRORCODE(), kRecordNotAvailableErr);
    return ids;
  }

  support::ScratchFolder folder;
  std::unique_ptr<FileDeclaration> file;
};

}  // namespace files::test
