#include "people_dictionary.h"

#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"

namespace classlib::testing {
namespace {

const runtime::FieldDef kPersonFields[] = {
    GD_FIELD(Person, ID, "PEO:ID"),
    GD_FIELD(Person, NAME, "PEO:NAME"),
    GD_FIELD(Person, CITY, "PEO:CITY"),
    GD_FIELD(Person, ACTIVE, "PEO:ACTIVE"),
};
const files::KeySpec kPersonKeys[] = {
    {"PEO:P_ID", files::KeyPrimary | files::KeyNoCase | files::KeyOpt, {kPersonId}},
    {"PEO:K_NAME", files::KeyNoCase | files::KeyOpt, {kPersonName}},
    {"PEO:K_CITY", files::KeyDup | files::KeyNoCase, {kPersonCity}},
};
const files::MemoSpec kPersonMemos[] = {{"PEO:NOTES", 500}};

const runtime::FieldDef kTownFields[] = {GD_FIELD(Town, NAME, "TWN:NAME")};
const files::KeySpec kTownKeys[] = {{"TWN:K_NAME", files::KeyDup | files::KeyNoCase, {1}}};

files::FileSpec spec(std::string_view label, std::string_view prefix, const std::string& name) {
  files::FileSpec s;
  s.label = label;
  s.prefix = prefix;
  s.name = name;
  return s;
}

files::FileSpec townsSpec(const std::string& name) {
  files::FileSpec s = spec("towns", "TWN", name);
  s.fields = kTownFields;
  s.recordSize = sizeof(Town);
  s.keys = kTownKeys;
  return s;
}

}  // namespace

files::FileSpec peopleSpec(const std::string& name) {
  files::FileSpec s = spec("people", "PEO", name);
  s.fields = kPersonFields;
  s.recordSize = sizeof(Person);
  s.keys = kPersonKeys;
  s.memos = kPersonMemos;
  return s;
}

Dictionary::Dictionary()
    : people_(peopleSpec(folder_.file("people.aaa"))),
      towns_(townsSpec(folder_.file("towns.aaa"))) {
  errors_.init();
  peopleFile_.setName("people");
  peopleFile_.initWith(people_, errors_);
  peopleFile_.setCreate(true);
  peopleFile_.addKey(kPeopleById, "PEO:P_ID", true);
  peopleFile_.addKey(kPeopleByName, "Person name");
  peopleFile_.addKey(kPeopleByCity, "PEO:K_CITY");
  townsFile_.setName("towns");
  townsFile_.initWith(towns_, errors_);
  townsFile_.setCreate(true);
  townsFile_.addKey(kTownsByName, "TWN:K_NAME");
  peopleRelate_.init(peopleFile_, 1);
  townsRelate_.init(townsFile_, 1);
  EXPECT_EQ(peopleRelate_.open(), LevelBenign);
  EXPECT_EQ(townsRelate_.open(), LevelBenign);
}

Dictionary::~Dictionary() {
  peopleRelate_.close();
  townsRelate_.close();
  peopleFile_.kill();
  townsFile_.kill();
}

std::int32_t Dictionary::addPerson(std::string_view name, std::string_view city,
                                   std::string_view text) {
  EXPECT_EQ(peopleFile_.primeRecord(), 0);
  person().NAME = name;
  person().CITY = city;
  notes().assign(text);
  EXPECT_EQ(peopleFile_.insert(), LevelBenign) << name;
  return person().ID;
}

void Dictionary::addTown(std::string_view name) {
  files::CLEAR(towns_);
  town().NAME = name;
  EXPECT_EQ(townsFile_.insert(), LevelBenign) << name;
}

std::vector<std::string> Dictionary::storedPeople() {
  std::vector<std::string> out;
  files::SET(people_, *people_.key(kPeopleById));
  for (files::NEXT(people_); runtime::ERRORCODE() == 0; files::NEXT(people_)) {
    out.push_back(std::to_string(person().ID) + " " + std::string(person().NAME.view()) + " " +
                  std::string(person().CITY.view()));
  }
  return out;
}

std::vector<std::string> Dictionary::shownTexts() const {
  std::vector<std::string> texts;
  for (const runtime::MessageRequest& box : answerer_.shown()) texts.push_back(box.text);
  return texts;
}

}  // namespace classlib::testing
