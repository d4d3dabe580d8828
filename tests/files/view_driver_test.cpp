#include "platform/files/view_driver.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/runtime/expression.h"
#include "tests/files/driver_fixture.h"
#include "tests/files/test_records.h"

namespace files::test {
namespace {

using runtime::ERRORCODE;

class ViewTest : public PeopleTest {
 protected:
  void SetUp() override {
    PeopleTest::SetUp();
    add(3, "carol", "Berlin", 2.5);
    add(1, "Alice", "Paris", 9);
    add(2, "bob", "Berlin", 7);
    add(4, "alice", "Athens", 1);
    add(5, "dave", "Berlin", 9);
    CLOSE(*file);
  }

  std::string readView(FileView& view, bool backwards = false) {
    SET(view);
    std::string ids;
    for (;;) {
      backwards ? PREVIOUS(view) : NEXT(view);
      if (ERRORCODE() != 0) break;
      ids += (ids.empty() ? "" : " ") + std::to_string(person(*file).ID.value());
    }
    EXPECT_EQ(ERRORCODE(), kRecordNotAvailableErr) << runtime::FILEERROR();
    return ids;
  }
};

TEST_F(ViewTest, ReadsInItsOrderThroughItsFilter) {
  FileView view(*file);
  struct Case {
    const char* what;
    void (*order)(FileView&, FileDeclaration&);
    const char* filter;
    const char* forwards;
    const char* backwards;
  };
  const Case cases[] = {
      {"physical, no filter", [](FileView& v, FileDeclaration&) { v.orderPhysical(); }, "",
       "3 1 2 4 5", "5 4 2 1 3"},
      {"by name key, Berlin only",
       [](FileView& v, FileDeclaration& f) { v.orderByKey(*f.key(PName)); }, "PER:CITY = 'Berlin'",
       "2 3 5", "5 3 2"},
      {"by score descending then id, above 2",
       [](FileView& v, FileDeclaration&) {
         v.orderByFields({-5, 1});
       },
       "PER:SCORE > 2", "1 5 2 3", "3 2 5 1"},
      {"by name without case, ties in physical order",
       [](FileView& v, FileDeclaration&) { v.orderByFields({2}, true); }, "", "1 4 2 3 5",
       "5 3 2 4 1"},
      {"by city and id, not Berlin",
       [](FileView& v, FileDeclaration&) {
         v.orderByFields({3, -1});
       },
       "NOT (PER:CITY = 'Berlin')", "4 1", "1 4"},
  };
  OPEN(view, 0x42);
  ASSERT_EQ(ERRORCODE(), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.order(view, *file);
    ASSERT_TRUE(view.setFilter(c.filter));
    EXPECT_EQ(readView(view), c.forwards);
    EXPECT_EQ(readView(view, true), c.backwards);
  }
}

TEST_F(ViewTest, FiltersReadBoundVariablesAtEachRecord) {
  runtime::CString<20> city;
  ASSERT_TRUE(runtime::BIND("glo:city", city.data(), 20, runtime::TextKind::CString));
  FileView view(*file);
  view.orderByKey(*file->key(PId));
  ASSERT_TRUE(view.setFilter("(PER:city = glo:city)"));
  OPEN(view);
  city = "Berlin";
  EXPECT_EQ(readView(view), "2 3 5");
  city = "Paris";
  EXPECT_EQ(readView(view), "1");
  runtime::UNBIND("glo:city");
  SET(view);
  NEXT(view);
  EXPECT_EQ(ERRORCODE(), kBadFilterErr) << "an unbound name";
  runtime::ParseError error;
  EXPECT_FALSE(view.setFilter("PER:CITY = ", &error));
  EXPECT_GT(error.position, 0u);
}

TEST_F(ViewTest, AFilterThatFixesTheKeysFirstFieldReadsOnlyItsRange) {
  // People 1 "Alice" and 4 "alice" share an image in the NOCASE name key; the filter's "="
  // minds the case, so the range is read and each record still goes through the filter.
  OPEN(*file, 0x42);
  add(6, "Alice", "Oslo", 3);
  add(7, "bob ", "Oslo", 3);
  CLOSE(*file);
  runtime::CString<30> name;
  ASSERT_TRUE(runtime::BIND("glo:name", name.data(), 30, runtime::TextKind::CString));
  FileView view(*file);
  view.orderByKey(*file->key(PName));
  OPEN(view);
  const struct {
    const char* filter;
    const char* name;
    const char* forwards;
    const char* backwards;
  } cases[] = {
      {"(PER:name = glo:name)", "Alice", "1 6", "6 1"},
      {"(PER:name = glo:name)", "alice", "4", "4"},
      {"(PER:name = glo:name)", "bob", "2 7", "7 2"},
      {"(PER:name = glo:name)", "ann", "", ""},
      {"(PER:name = glo:name)", "zed", "", ""},
      {"(PER:name = glo:name)", "", "", ""},  // blank names are not in the OPT key
      {"glo:name = PER:NAME AND PER:CITY = 'Oslo'", "Alice", "6", "6"},
      {"PER:NAME = 'carol'", "", "3", "3"},
      {"PER:NAME = glo:name OR PER:ID = 5", "bob", "2 7 5", "5 7 2"},
      {"PER:NAME = PER:CITY", "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.filter) + " / " + c.name);
    ASSERT_TRUE(view.setFilter(c.filter));
    name = c.name;
    EXPECT_EQ(readView(view), c.forwards);
    EXPECT_EQ(readView(view, true), c.backwards);
  }

  // Starting at the record buffer inside, before and after the range.
  ASSERT_TRUE(view.setFilter("PER:NAME = glo:name"));
  name = "bob";
  const struct {
    const char* from;
    bool backwards;
    const char* ids;
  } starts[] = {{"a", false, "2 7"}, {"bob", false, "2 7"}, {"c", false, ""},
                {"c", true, "7 2"},  {"bob", true, "7 2"},  {"a", true, ""}};
  for (const auto& start : starts) {
    SCOPED_TRACE(std::string(start.from) + (start.backwards ? " backwards" : " forwards"));
    CLEAR(*file);
    person(*file).NAME = start.from;
    SET(view, SetFrom::RecordBuffer);
    EXPECT_EQ(person(*file).NAME.text(), start.from) << "the buffer is left as it was";
    std::string ids;
    for (start.backwards ? PREVIOUS(view) : NEXT(view); ERRORCODE() == 0;
         start.backwards ? PREVIOUS(view) : NEXT(view)) {
      ids += (ids.empty() ? "" : " ") + std::to_string(person(*file).ID.value());
    }
    EXPECT_EQ(ids, start.ids);
  }
  CLOSE(view);
  runtime::UNBIND("glo:name");
}

TEST_F(ViewTest, SetFromTheRecordBufferStartsAtItsKeyValuesInKeyOrder) {
  FileView view(*file);
  view.orderByKey(*file->key(PName));
  ASSERT_TRUE(view.setFilter("PER:CITY = 'Berlin'"));  // bob 2, carol 3, dave 5
  OPEN(view);
  const auto readFrom = [&](const char* name, bool backwards) {
    CLEAR(*file);
    person(*file).NAME = name;
    SET(view, SetFrom::RecordBuffer);
    EXPECT_EQ(ERRORCODE(), 0);
    std::string ids;
    for (backwards ? PREVIOUS(view) : NEXT(view); ERRORCODE() == 0;
         backwards ? PREVIOUS(view) : NEXT(view)) {
      ids += (ids.empty() ? "" : " ") + std::to_string(person(*file).ID.value());
    }
    return ids;
  };
  EXPECT_EQ(readFrom("c", false), "3 5");
  EXPECT_EQ(readFrom("carol", false), "3 5") << "at the values: the record with them first";
  EXPECT_EQ(readFrom("c", true), "2");
  EXPECT_EQ(readFrom("a", false), "2 3 5") << "records the filter leaves out are passed over";

  view.orderPhysical();
  SET(view, SetFrom::RecordBuffer);
  EXPECT_EQ(ERRORCODE(), kNotSupportedErr) << "only a key has values to start at";
  SET(view, SetFrom::KeyStart);
  EXPECT_EQ(ERRORCODE(), 0);
  CLOSE(view);
  SET(view, SetFrom::RecordBuffer);
  EXPECT_EQ(ERRORCODE(), kFileNotOpenErr);
}

TEST_F(ViewTest, ClosingAViewGivesItsNamesBackToTheBindingsTheyReplaced) {
  runtime::CString<20> before;
  ASSERT_TRUE(runtime::BIND("PER:name", before.data(), 20, runtime::TextKind::CString));
  const auto earlier = runtime::boundVariable("PER:NAME");
  FileView view(*file);
  OPEN(view);
  ASSERT_NE(runtime::boundVariable("PER:NAME"), earlier) << "the view reads its own buffer";
  CLOSE(view);
  EXPECT_EQ(runtime::boundVariable("PER:NAME"), earlier) << "a file manager's, say";
  runtime::UNBIND("PER:name");
}

TEST_F(ViewTest, ClosingAViewLeavesOtherBindingsOfItsNames) {
  FileView view(*file);
  OPEN(view);
  ASSERT_EQ(ERRORCODE(), 0);
  ASSERT_NE(runtime::boundVariable("PER:CITY"), nullptr) << "an open view names its fields";
  // Someone else binds one of the view's names while it is open: a file manager, say.
  runtime::CString<20> city;
  city = "mine";
  ASSERT_TRUE(runtime::BIND("PER:city", city.data(), 20, runtime::TextKind::CString));
  const auto other = runtime::boundVariable("PER:CITY");
  CLOSE(view);
  EXPECT_EQ(runtime::boundVariable("PER:CITY"), other) << "the later binding stays";
  EXPECT_EQ(runtime::boundVariable("PER:ID"), nullptr) << "the view's own are gone";
  runtime::UNBIND("PER:city");
}

TEST_F(ViewTest, OpeningAViewOpensItsFile) {
  FileView view(*file);
  OPEN(view, 0x22);
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(STATUS(view), 0x22);
  EXPECT_EQ(STATUS(*file), 0x22);
  OPEN(view, 0x22);
  EXPECT_EQ(ERRORCODE(), runtime::FileAlreadyOpenErr);
  CLOSE(view);
  EXPECT_EQ(STATUS(*file), 0) << "the view closes what it opened";

  OPEN(*file, 0x42);
  OPEN(view);
  CLOSE(view);
  EXPECT_EQ(STATUS(*file), 0x42) << "and leaves alone what was open before";
  NEXT(view);
  EXPECT_EQ(ERRORCODE(), kFileNotOpenErr);
}

TEST_F(ViewTest, ARecordReadInAnOrderOfFieldsIsTheCurrentOne) {
  FileView view(*file);
  view.orderByFields({-5, 1});
  OPEN(view, 0x42);
  SET(view);
  NEXT(view);
  NEXT(view);  // 5 (score 9, after 1)
  ASSERT_EQ(person(*file).ID.value(), 5);
  person(*file).NAME = "renamed";
  PUT(*file);
  ASSERT_EQ(ERRORCODE(), 0);
  CLEAR(*file);
  person(*file).ID = 5;
  GET(*file, *file->key(PId));
  EXPECT_EQ(person(*file).NAME.text(), "renamed");
}

TEST_F(ViewTest, ARecordGivenAfterOthersThePassedOverHoldsNoneOfTheirBytes) {
  // Wide records: 2 ends in zeros far before where the records around it end.
  auto projects = declare(kProjectsSpec, folder.file("projects.aaa"));
  CREATE(*projects);
  OPEN(*projects, 0x42);
  ASSERT_EQ(ERRORCODE(), 0);
  auto& record = projects->recordAs<Projects>();
  for (const int id : {1, 2, 3}) {
    CLEAR(*projects);
    record.ID = id;
    record.DESCRIPTION = "Project " + std::to_string(id);
    if (id != 2) record.LONGDESCRIPTION = std::string(5000, 'x');
    ADD(*projects);
    ASSERT_EQ(ERRORCODE(), 0);
  }
  const auto bytes = [&] {
    return std::string(reinterpret_cast<const char*>(projects->record().data()),
                       projects->recordLength());
  };
  CLEAR(*projects);
  record.ID = 2;
  GET(*projects, *projects->key(4));
  ASSERT_EQ(ERRORCODE(), 0);
  const std::string two = bytes();
  FileView view(*projects);
  view.orderPhysical();
  OPEN(view, 0x42);
  ASSERT_TRUE(view.setFilter("PRO:ID = 2"));
  for (const bool backwards : {false, true}) {
    SCOPED_TRACE(backwards ? "backwards" : "forwards");
    SET(view);
    backwards ? PREVIOUS(view) : NEXT(view);
    ASSERT_EQ(ERRORCODE(), 0);
    EXPECT_TRUE(bytes() == two);
  }
  CLOSE(view);
  CLOSE(*projects);
}

}  // namespace
}  // namespace files::test
