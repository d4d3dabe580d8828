// The test dictionary of the window classes' tests: people (an auto-numbered primary key, a
// unique name, a city key with duplicates and a memo) and towns (one key that allows
// duplicates and no unique key at all), with their file and relation managers, an error
// reporter and scripted message boxes, in a scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "classlib/error_reporter.h"
#include "classlib/file_manager.h"
#include "classlib/relation_manager.h"
#include "platform/files/file_declaration.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/scripted_answerer.h"
#include "platform/runtime/text_types.h"
#include "tests/support/scratch_folder.h"

namespace classlib::testing {

struct Person {
  runtime::Long ID;
  runtime::CString<30> NAME;
  runtime::CString<20> CITY;
  runtime::Byte ACTIVE;
};
static_assert(sizeof(Person) == 55);

inline constexpr int kPersonId = 1, kPersonName = 2, kPersonCity = 3, kPersonActive = 4;
inline constexpr int kPersonNotes = 5;  // the memo, numbered after the fields
inline constexpr int kPeopleById = 1, kPeopleByName = 2, kPeopleByCity = 3;

struct Town {
  runtime::CString<20> NAME;
};

inline constexpr int kTownsByName = 1;

// The people file's declaration under the file name `name`.
files::FileSpec peopleSpec(const std::string& name);

class Dictionary : public ::testing::Test {
 protected:
  Dictionary();
  ~Dictionary() override;

  Person& person() { return people_.recordAs<Person>(); }
  Town& town() { return towns_.recordAs<Town>(); }
  files::Memo& notes() { return *people_.memo(1); }

  // Adds a person through the file manager; answers the number it got.
  std::int32_t addPerson(std::string_view name, std::string_view city = {},
                         std::string_view notes = {});
  void addTown(std::string_view name);
  // The people in the file by number: "1 Ann Paris" ...
  std::vector<std::string> storedPeople();
  // The texts of the boxes shown so far.
  std::vector<std::string> shownTexts() const;

  support::ScratchFolder folder_;
  runtime::ScriptedAnswerer answerer_;
  runtime::InterceptingHalter halter_;
  runtime::ScopedMessageHandlers handlers_{answerer_, halter_};
  ErrorReporter errors_;
  files::FileDeclaration people_;
  files::FileDeclaration towns_;
  FileManager peopleFile_;
  FileManager townsFile_;
  RelationManager peopleRelate_;
  RelationManager townsRelate_;
};

}  // namespace classlib::testing
