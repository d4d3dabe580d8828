#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/scripted_answerer.h"
#include "tests/upkeep/engine_fixture.h"
#include "tests/upkeep/image_fixture.h"
#include "tests/upkeep/old_data_file.h"
#include "upkeep/engine_lifecycle.h"
#include "upkeep/file_open.h"
#include "upkeep/message_catalogue.h"
#include "upkeep/registration.h"
#include "upkeep/structure_search.h"
#include "upkeep/upgrade_faults.h"
#include "upkeep/upgrade_marker.h"

namespace upkeep {
namespace {

using runtime::FieldType;
using testing::OldBytes;
using testing::OldFileDescription;

OldBytes le(std::int64_t value, int width) {
  OldBytes bytes;
  for (int i = 0; i < width; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  return bytes;
}

OldBytes padded(std::string_view text, std::size_t size) {
  OldBytes bytes(text.begin(), text.end());
  bytes.resize(size, ' ');
  return bytes;
}

// One old record of the sample old file: NUMBER, NAME (20), LEFT, RIGHT, PRICE (DECIMAL(9,2): a
// sign nibble, then the digits), TAGS (3 x 4).
struct OldOrder {
  std::int32_t number;
  std::string name;
  std::int16_t left;
  std::uint8_t right;
  OldBytes price;
  std::string tags[3];

  OldBytes bytes() const {
    OldBytes out = le(number, 4);
    for (auto part : {padded(name, 20), le(left, 2), le(right, 1), price})
      out.insert(out.end(), part.begin(), part.end());
    for (const std::string& tag : tags) {
      const OldBytes t = padded(tag, 4);
      out.insert(out.end(), t.begin(), t.end());
    }
    return out;
  }
};

OldFileDescription ordersFile(const std::vector<OldOrder>& orders, std::size_t deletedAt) {
  OldFileDescription d = testing::sampleOldFile();
  for (std::size_t i = 0; i < orders.size(); ++i) {
    if (i == deletedAt)
      d.records.push_back(
          {.fields = OldOrder{99, "gone", 1, 1, {0, 0, 0, 0, 0x10}, {"x", "y", "z"}}.bytes(),
           .deleted = true});
    d.records.push_back({.fields = orders[i].bytes(), .deleted = false});
  }
  return d;
}

const std::vector<OldOrder> kOrders = {
    {1, "Alpha", -3, 7, {0x00, 0x01, 0x23, 0x45, 0x67}, {"red", "blue", ""}},
    {2, "Beta ship", 400, 255, {0x80, 0x00, 0x00, 0x01, 0x00}, {"", "", "last"}},
    {3, "", 0, 0, {0x00, 0x00, 0x00, 0x00, 0x00}, {"a", "b", "c"}},
};

// Today's declaration of the same file: the name grew to 30 characters and a field was added.
struct NewOrder {
  std::int32_t NUMBER;
  char NAME[30];
  std::int16_t LEFT;
  std::uint8_t RIGHT;
  std::uint8_t PRICE[5];
  char TAGS[3][4];
  std::int32_t EXTRA;
} __attribute__((packed));

runtime::FieldDef def(std::string_view label, FieldType type, std::uint32_t offset,
                      std::uint32_t size) {
  return testing::field(label, type, offset, size);
}

const std::vector<runtime::FieldDef>& newOrderFields() {
  static const std::vector<runtime::FieldDef> fields = [] {
    std::vector<runtime::FieldDef> f = {
        def("OLD:NUMBER", FieldType::Long, 0, 4),  def("OLD:NAME", FieldType::String, 4, 30),
        def("OLD:PAIR", FieldType::Group, 34, 3),  def("OLD:LEFT", FieldType::Short, 34, 2),
        def("OLD:RIGHT", FieldType::Byte, 36, 1),  def("OLD:PRICE", FieldType::Decimal, 37, 5),
        def("OLD:TAGS", FieldType::String, 42, 4), def("OLD:EXTRA", FieldType::Long, 54, 4)};
    f[2].members = 2;
    f[3].group = 3;
    f[4].group = 3;
    f[5].digits = 9;
    f[5].scale = 2;
    f[6].dims = {3, 0, 0, 0};
    return f;
  }();
  return fields;
}

constexpr files::KeySpec kByNumber = {.label = "OLD:BYNUMBER", .flags = 0, .components = {1}};

class OldDataConversionTest : public testing::EngineTest {
 protected:
  OldDataConversionTest() {
    upkeepProcessStart();
    testing::registerCaskfileDriver();
    static files::FileDeclaration corvid([] {
      static const runtime::FieldDef kByte = def("COR:BYTE", FieldType::Byte, 0, 1);
      files::FileSpec spec{.label = "corvid", .prefix = "COR"};
      spec.driver = files::Driver::Corvid;
      spec.fields = std::span(&kByte, 1);
      spec.recordSize = 1;
      return spec;
    }());
    ds_AddDriver("Cor", corvid, 1, corvid.record().data());
  }

  files::FileSpec ordersSpec() {
    files::FileSpec spec{.label = "orders", .prefix = "OLD"};
    spec.name = name_;
    spec.create = true;
    spec.fields = newOrderFields();
    spec.recordSize = sizeof(NewOrder);
    spec.keys = std::span(&kByNumber, 1);
    return spec;
  }

  std::vector<NewOrder> readOrders(files::FileDeclaration& file) {
    std::vector<NewOrder> out;
    files::SET(file, *file.key(1));
    for (files::NEXT(file); runtime::ERRORCODE() == 0; files::NEXT(file)) {
      NewOrder order;
      std::memcpy(&order, file.record().data(), sizeof order);
      out.push_back(order);
    }
    return out;
  }

  std::string name_ = "orders.ord";
  runtime::ScriptedAnswerer answers;
  runtime::InterceptingHalter halter;
  runtime::ScopedMessageHandlers handlers{answers, halter};
};

TEST_F(OldDataConversionTest, AnOldFileTheCatalogueNeverRecordedIsConvertedRecordByRecord) {
  commandLine("/silentupgrading");
  testing::writeOldFile(folder.file("orders.Dat"), testing::oldDataFile(ordersFile(kOrders, 1)));
  files::FileDeclaration orders(ordersSpec());
  ds_UsingFile("OLD", "orders", orders, 1, 0);
  EXPECT_EQ(oldDataSourceOf(name_, "OLD"), "orders.Dat") << "the file the search takes";

  ds_FileOpen(orders, 0x42);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
  EXPECT_TRUE(answers.shown().empty()) << answers.shown().front().text;
  const std::vector<NewOrder> converted = readOrders(orders);
  files::CLOSE(orders);

  ASSERT_EQ(converted.size(), kOrders.size()) << "the deleted record is left out";
  for (std::size_t i = 0; i < kOrders.size(); ++i) {
    SCOPED_TRACE(i);
    const OldOrder& old = kOrders[i];
    const NewOrder& now = converted[i];
    EXPECT_EQ(now.NUMBER, old.number);
    const OldBytes name = padded(old.name, 30);
    EXPECT_EQ(std::string(now.NAME, 30), std::string(name.begin(), name.end()));
    EXPECT_EQ(now.LEFT, old.left);
    EXPECT_EQ(now.RIGHT, old.right);
    EXPECT_EQ(OldBytes(now.PRICE, now.PRICE + 5), old.price);
    for (int t = 0; t < 3; ++t) {
      const OldBytes tag = padded(old.tags[t], 4);
      EXPECT_EQ(std::string(now.TAGS[t], 4), std::string(tag.begin(), tag.end()));
    }
    EXPECT_EQ(now.EXTRA, 0);
  }
  EXPECT_FALSE(files::EXISTS(folder.file("orders.Dat"))) << "the old file was converted";
}

// A crash during the copy leaves the old file's bytes in the backup and a marker naming it and
// the old file's own name: the next open puts them back under "orders.Dat", removes the
// half-written new file and converts the old file again, so that very open finds every record.
TEST_F(OldDataConversionTest, AConversionCutShortLosesNoRecord) {
  commandLine("/silentupgrading");
  testing::writeOldFile(folder.file("dstmp001"), testing::oldDataFile(ordersFile(kOrders, 1)));
  testing::writeOldFile(folder.file(name_), OldBytes(100, 'x'));  // the half-written new file
  const std::string target = completedFileName(files::Driver::Caskfile, name_);
  const std::string backup = folder.file("dstmp001");
  ASSERT_EQ(writeUpgradeMarker(
                target, {backup, false, false, folder.file("orders.Dat"), fileIdentity(backup)}),
            0);
  files::FileDeclaration orders(ordersSpec());
  ds_UsingFile("OLD", "orders", orders, 1, 0);

  ds_FileOpen(orders, 0x42);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
  EXPECT_TRUE(answers.shown().empty());
  EXPECT_EQ(readOrders(orders).size(), kOrders.size());
  files::CLOSE(orders);
  EXPECT_FALSE(files::EXISTS(folder.file("dstmp001")));
  EXPECT_FALSE(files::EXISTS(folder.file("orders.Dat"))) << "the old file was converted";
}

// A conversion that fails past the backup puts the old file back under its own name, not the
// new file's, and leaves no half-made file: the next open finds and converts it as before.
TEST_F(OldDataConversionTest, AFailedConversionPutsTheOldFileBackUnderItsOwnName) {
  commandLine("/silentupgrading");
  const OldBytes old = testing::oldDataFile(ordersFile(kOrders, 1));
  testing::writeOldFile(folder.file("orders.Dat"), old);
  files::FileDeclaration orders(ordersSpec());
  ds_UsingFile("OLD", "orders", orders, 1, 0);
  for (const UpgradeStep failing : {UpgradeStep::OpenNew, UpgradeStep::Finish}) {
    SCOPED_TRACE(static_cast<int>(failing));
    const std::size_t boxes = answers.shown().size();
    for (int i = 0; i < 4; ++i) answers.addAnswer(runtime::ButtonIgnore);
    setUpgradeStepHook([failing](UpgradeStep step) { return step == failing ? 5 : 0; });
    ds_FileOpen(orders, 0x42);
    setUpgradeStepHook({});
    EXPECT_NE(runtime::ERRORCODE(), 0);
    EXPECT_GT(answers.shown().size(), boxes) << "the failure is told";
    EXPECT_TRUE(files::EXISTS(folder.file("orders.Dat")));
    EXPECT_FALSE(files::EXISTS(folder.file(name_)));
    EXPECT_FALSE(files::EXISTS(folder.file("dstmp001")));
    EXPECT_FALSE(std::filesystem::exists(folder.file(name_) + ".upk"));
  }
  ds_FileOpen(orders, 0x42);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
  EXPECT_EQ(readOrders(orders).size(), kOrders.size());
  files::CLOSE(orders);
}

// A file under the new file's name that is not one of ours is left as it is, and the old data
// file beside it is not converted over it.
TEST_F(OldDataConversionTest, AnOldFileIsNotConvertedOverAFileStandingUnderTheNewName) {
  commandLine("/silentupgrading");
  testing::writeOldFile(folder.file("orders.Dat"), testing::oldDataFile(ordersFile(kOrders, 1)));
  const OldBytes foreign(100, 'x');
  testing::writeOldFile(folder.file(name_), foreign);
  files::FileDeclaration orders(ordersSpec());
  ds_UsingFile("OLD", "orders", orders, 1, 0);
  ds_FileOpen(orders, 0x42);
  EXPECT_EQ(runtime::ERRORCODE(), runtime::InvalidDataFileErr);
  files::CLOSE(orders);
  EXPECT_EQ(std::filesystem::file_size(folder.file(name_)), foreign.size());
  EXPECT_TRUE(files::EXISTS(folder.file("orders.Dat")));
  EXPECT_FALSE(files::EXISTS(folder.file("dstmp001")));
  EXPECT_FALSE(std::filesystem::exists(folder.file(name_) + ".upk"));
}

// The old file's name is the file's own name with ".Dat" for its extension, whatever dots the
// folders on the way hold.
TEST_F(OldDataConversionTest, TheOldFileIsFoundBesideTheFileInAFolderWithADotInItsName) {
  commandLine("/silentupgrading");
  ASSERT_TRUE(std::filesystem::create_directory(folder.file("data.v1")));
  name_ = "data.v1/orders.ord";
  testing::writeOldFile(folder.file("data.Dat"), testing::oldDataFile(ordersFile({}, 9)));
  testing::writeOldFile(folder.file("data.v1/orders.Dat"),
                        testing::oldDataFile(ordersFile(kOrders, 0)));
  files::FileDeclaration orders(ordersSpec());
  ds_UsingFile("OLD", "orders", orders, 1, 0);
  EXPECT_EQ(oldDataSourceOf(name_, "OLD"), "data.v1/orders.Dat");
  ds_FileOpen(orders, 0x42);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
  EXPECT_EQ(readOrders(orders).size(), kOrders.size());
  files::CLOSE(orders);
  EXPECT_TRUE(files::EXISTS(folder.file("data.Dat"))) << "another file is left alone";
}

TEST_F(OldDataConversionTest, AnOldFileIsNotLookedForWhenTheRegistrationSaysSo) {
  commandLine("/silentupgrading");
  const OldBytes old = testing::oldDataFile(ordersFile(kOrders, 1));
  testing::writeOldFile(folder.file("orders.Dat"), old);
  ds_IgnoreDriver("AllFiles", 1);
  files::FileDeclaration orders(ordersSpec());
  ds_UsingFile("OLD", "orders", orders, 1, 0);
  EXPECT_EQ(oldDataSourceOf(name_, "OLD"), "");
  ds_FileOpen(orders, 0x42);
  EXPECT_EQ(runtime::ERRORCODE(), runtime::FileNotFoundErr);
  EXPECT_TRUE(files::EXISTS(folder.file("orders.Dat")));
}

// The driver reads a file only when all of it agrees; otherwise the search passes it by, the
// file stays as it was and no conversion takes it for its source.
TEST_F(OldDataConversionTest, AnOldFileWhoseRecordsCannotBeFoundSoundlyIsLeftAlone) {
  using testing::poke;
  const OldFileDescription description = ordersFile(kOrders, 1);
  const std::size_t dataAt = testing::oldHeaderEnd(description);
  const std::size_t reclen = 5 + 44;
  struct Case {
    const char* what;
    std::function<void(OldBytes&)> change;
  };
  const std::vector<Case> cases = {
      {"more live records than stored", [](OldBytes& b) { poke(b, testing::AtNrecs, 4, 4); }},
      {"a deleted count the chain does not hold",
       [](OldBytes& b) { poke(b, testing::AtNdels, 2, 4); }},
      {"a chain past the records", [](OldBytes& b) { poke(b, testing::AtFreerec, 9, 4); }},
      {"a chain that loops", [&](OldBytes& b) { poke(b, dataAt + reclen + 1, 2, 4); }},
      {"a cut last record", [](OldBytes& b) { b.pop_back(); }},
      {"a data offset inside the header", [](OldBytes& b) { poke(b, testing::AtOffset, 90, 4); }},
      {"a data offset past the file", [](OldBytes& b) { poke(b, testing::AtOffset, 99999, 4); }},
      {"a memo", [](OldBytes& b) { poke(b, 67, 100, 2); }},
  };
  commandLine("/silentupgrading");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OldBytes bad = testing::oldDataFile(description);
    c.change(bad);
    testing::writeOldFile(folder.file("orders.Dat"), bad);
    files::FileDeclaration orders(ordersSpec());
    ds_UsingFile("OLD", "orders", orders, 1, 0);
    EXPECT_EQ(oldDataSourceOf(name_, "OLD"), "") << "no conversion is guarded for it";
    ds_FileOpen(orders, 0x42);
    EXPECT_EQ(runtime::ERRORCODE(), runtime::FileNotFoundErr);
    EXPECT_FALSE(files::EXISTS(folder.file(name_)));
    EXPECT_TRUE(files::EXISTS(folder.file("orders.Dat")));
  }
}

}  // namespace
}  // namespace upkeep
