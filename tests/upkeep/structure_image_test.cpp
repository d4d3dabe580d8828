#include "upkeep/structure_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/dictionary/declarations.h"
#include "platform/files/file_driver.h"
#include "platform/files/record_descriptor.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/message.h"
#include "tests/app/app_fixture.h"
#include "tests/upkeep/engine_fixture.h"
#include "tests/upkeep/image_fixture.h"
#include "upkeep/debug_switches.h"
#include "upkeep/registration.h"
#include "upkeep/upg_file.h"

namespace upkeep {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::programSpecs;
using testing::registerCaskfileDriver;

// The golden images live in tests/fixtures/structure_images/<label>.img. Run the tests with
// GD_WRITE_GOLDEN=1 to write them afresh after a deliberate change of a declaration.
std::string goldenPath(std::string_view label) {
  return std::string(GD_FIXTURES_DIR) + "/structure_images/" + std::string(label) + ".img";
}

Bytes readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Puts `image` into UPG:FMT as the catalogue would leave it after reading an entry.
void storeImage(const Bytes& image) {
  ASSERT_TRUE(UpgFormat().setBytes(std::string(image.begin(), image.end())));
}

Bytes imageOf(const files::FileDeclaration& file) {
  Bytes image;
  const std::int32_t result = writeImage(file, image);
  EXPECT_EQ(result, static_cast<std::int32_t>(image.size() + 1));
  return image;
}

// Answers Ignore to every STOP (and the default to other boxes), keeping the texts.
class IgnoreStops : public runtime::MessageAnswerer {
 public:
  IgnoreStops() : previous_(runtime::setMessageAnswerer(this)) {}
  ~IgnoreStops() override { runtime::setMessageAnswerer(previous_); }
  int answer(const runtime::MessageRequest& box) override {
    texts.push_back(box.text);
    return (box.buttons & runtime::ButtonIgnore) ? runtime::ButtonIgnore : box.defaultButton;
  }
  std::vector<std::string> texts;

 private:
  runtime::MessageAnswerer* previous_;
};

class StructureImageTest : public testing::EngineTest {
 protected:
  void SetUp() override { registerCaskfileDriver(); }
};

TEST_F(StructureImageTest, TheProgramsDeclarationsGiveTheirGoldenImages) {
  const bool writeGolden = std::getenv("GD_WRITE_GOLDEN") != nullptr;
  for (const auto& [label, spec] : programSpecs()) {
    SCOPED_TRACE(label);
    const files::FileDeclaration file(spec);
    const Bytes image = imageOf(file);
    if (writeGolden) {
      std::ofstream(goldenPath(label), std::ios::binary)
          .write(reinterpret_cast<const char*>(image.data()),
                 static_cast<std::streamsize>(image.size()));
    }
    EXPECT_EQ(image, readBytes(goldenPath(label)));
  }
}

// The layout of an image, byte for byte, for a declaration that uses every part of it.
TEST_F(StructureImageTest, AnImageHoldsHeaderKeysMemosAndDescriptorInThisOrder) {
  struct Rec {
    runtime::Long ID;
  };
  static constexpr runtime::FieldDef kFields[] = {GD_FIELD(Rec, ID, "T:ID")};
  static constexpr files::KeySpec kKeys[] = {{"T:K", files::KeyNoCase, {-1}, "ext"}};
  static constexpr files::MemoSpec kMemos[] = {{"T:M", 300, files::MemoKindMemo}};
  files::FileSpec spec{.label = "t",
                       .prefix = "T",
                       .name = "t",
                       .driverString = "d",
                       .owner = "own",
                       .attributes = 0x20,
                       .fields = kFields,
                       .recordSize = sizeof(Rec),
                       .keys = kKeys,
                       .memos = kMemos};
  const files::FileDeclaration file(spec);
  Bytes expected = {'1',  'V',  'k',  'f',  'd',  0,    'o',  'w', 'n', 0,
                    0x20, 1,    1,    4,    0,    0,    0,  // header
                    1,    4,    0,    0,    0,    'e',  'x',  't', 0,   'T',
                    ':',  'K',  0,    0xFF, 0xFF, 0xFF, 0xFF,                // key
                    3,    0x2C, 0x01, 0,    0,    0,    'T',  ':', 'M', 0};  // memo
  expected.insert(expected.end(), file.descriptor().begin(), file.descriptor().end());
  EXPECT_EQ(imageOf(file), expected);
}

TEST_F(StructureImageTest, DebugupkeptmakeTracesTheStepsWithTheOwnerHidden) {
  files::FileSpec spec = app::kCodebySpec;
  spec.owner = "secret";
  storeImage(imageOf(files::FileDeclaration(spec)));
  setMadeFileName(0, "codeby.aaa");
  commandLine("/debugupkeptmake");
  takeTrace();
  ASSERT_EQ(MakeFile(0), 1);
  EXPECT_EQ(takeTrace(), (std::vector<std::string>{
                             "[Upkeep] DestFileName = codeby.aaa",
                             "[Upkeep] Send String =",
                             "[Upkeep] Owner = (hidden)",
                             "[Upkeep] Attributes = 0",
                             "[Upkeep] Number of Keys = 1",
                             "[Upkeep] Number of Memos = 0",
                             "[Upkeep] Record Length = 100",
                             "[Upkeep] Key Number : 1 Number of Key Fields = 1 attributes : 7",
                         }));
  EXPECT_EQ(DESTFILE().owner(), "secret");
}

TEST_F(StructureImageTest, ImageThenMakeFileThenImageAgainIsTheSameAndOpensTheProgramsFile) {
  app::testing::TempFolder folder;
  for (const auto& [label, spec] : programSpecs()) {
    SCOPED_TRACE(label);
    files::FileDeclaration file(spec);
    files::CREATE(file);
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
    const Bytes image = imageOf(file);
    ASSERT_GT(ReadFormat(file), 2);
    ASSERT_EQ(MakeFile(1), 1);
    Bytes again = imageOf(INFILE());
    // MakeFile marks the attributes it builds with 04h; every other byte comes back.
    ASSERT_EQ(again.size(), image.size());
    const std::size_t attributes = 6;  // "1", code, two empty texts
    EXPECT_EQ(again[attributes], image[attributes] | 0x04);
    again[attributes] = image[attributes];
    EXPECT_EQ(again, image);

    ASSERT_TRUE(setMadeFileName(1, NAME(file)));
    files::OPEN(INFILE(), 0x42);
    EXPECT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
    files::CLOSE(INFILE());
  }
}

TEST_F(StructureImageTest, ASqlFilesImageKeepsNeitherDriverStringNorOwner) {
  files::FileSpec spec = app::kCodebySpec;
  spec.driver = files::Driver::Odbc;
  spec.driverString = "DSN=dock";
  spec.owner = "secret";
  files::FileDeclaration file(spec);
  ds_AddDriver("ODB", file, 1, file.record().data());
  const Bytes image = imageOf(file);
  EXPECT_EQ(Bytes(image.begin(), image.begin() + 6), (Bytes{'1', 'O', 'D', 'B', 0, 0}));
}

TEST_F(StructureImageTest, DeclarationsAnImageCannotHoldAreRefusedAndTheMemoKeepsItsBytes) {
  struct Wide {
    runtime::String<64001> TEXT;
  };
  static constexpr runtime::FieldDef kWide[] = {GD_FIELD(Wide, TEXT, "W:TEXT")};
  struct Rec {
    runtime::Long ID;
  };
  static constexpr runtime::FieldDef kFields[] = {GD_FIELD(Rec, ID, "T:ID")};
  static const std::vector<files::KeySpec> manyKeys(75, files::KeySpec{"T:K", 0, {1}});
  static const std::vector<files::MemoSpec> manyMemos(251, files::MemoSpec{"T:M", 10});
  static const std::string longLabel = "T:" + std::string(300, 'K');
  static const files::KeySpec longKey[] = {{longLabel, 0, {1}}};
  // 200 BYTE fields with labels of 202 characters: a descriptor of over 40000 bytes.
  static const std::vector<std::string> longLabels = [] {
    std::vector<std::string> labels;
    for (int i = 0; i < 200; ++i)
      labels.push_back("T:" + std::string(197, 'F') + std::to_string(i + 100));
    return labels;
  }();
  static const std::vector<runtime::FieldDef> manyFields = [] {
    std::vector<runtime::FieldDef> fields;
    for (std::size_t i = 0; i < longLabels.size(); ++i)
      fields.push_back(
          {.label = longLabels[i], .offset = static_cast<std::uint32_t>(i), .size = 1});
    return fields;
  }();
  const files::FileSpec base{
      .label = "t", .prefix = "T", .name = "t", .fields = kFields, .recordSize = sizeof(Rec)};
  struct Case {
    std::string name;
    files::FileSpec spec;
    std::int32_t result;
    std::string line;        // the trace line that says why; empty for none
    bool imageDump = false;  // written with the image dump only, not with the detail trace
  };
  const std::vector<Case> cases = {
      {"a driver not registered", app::kMainagcSpec, kImageDriverNotRegistered, ""},
      {"a record over 64000 bytes",
       {.label = "w", .prefix = "W", .name = "w", .fields = kWide, .recordSize = sizeof(Wide)},
       kImageTooLarge,
       "Record too long : 64001 64000"},
      {"75 keys",
       [&] {
         auto s = base;
         s.keys = manyKeys;
         return s;
       }(),
       kImageTooLarge, "Too many keys : 75 74"},
      {"251 memos",
       [&] {
         auto s = base;
         s.memos = manyMemos;
         return s;
       }(),
       kImageTooLarge, "Too many memos : 251 250"},
      {"a label over 255 bytes",
       [&] {
         auto s = base;
         s.keys = longKey;
         return s;
       }(),
       kImageTooLarge, "A name too long for the image"},
      {"a descriptor over 40000 bytes",
       {.label = "t", .prefix = "T", .name = "t", .fields = manyFields, .recordSize = 200},
       kImageTooLarge,
       "Too Big 2 : fmtp+shrt=",
       true},
  };
  storeImage({'k', 'e', 'p', 't'});
  for (const char* switches : {"/debugupk", "/debugupkfull"}) {
    commandLine(switches);
    resetDebugSettings();
    LoadDebugSettings();
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name + " " + switches);
      const files::FileDeclaration file(c.spec);
      takeTrace();
      EXPECT_EQ(ReadFormat(file), c.result);
      EXPECT_EQ(UpgFormat().content(), "kept");
      const std::vector<std::string> trace = takeTrace();
      const bool traced = std::any_of(trace.begin(), trace.end(), [&](const std::string& line) {
        return !c.line.empty() && line.starts_with("[Upkeep] " + c.line);
      });
      EXPECT_EQ(traced, !c.line.empty() && (!c.imageDump || debugLevels().imageDump != 0));
      if (c.imageDump && traced) {
        EXPECT_TRUE(trace.back().ends_with(" MAXDEFSIZE=40000")) << trace.back();
      }
    }
  }
}

TEST_F(StructureImageTest, AnImageWrittenTracesItsSize) {
  commandLine("/debugupkfull");
  resetDebugSettings();
  LoadDebugSettings();
  takeTrace();
  const std::int32_t result = ReadFormat(files::FileDeclaration(app::kCategortSpec));
  const std::vector<std::string> trace = takeTrace();
  ASSERT_GE(trace.size(), 2u);
  const std::string size = std::to_string(result);
  EXPECT_EQ(trace[trace.size() - 2],
            "[Upkeep]  File Definition size = " + size + ". File : categort");
  EXPECT_EQ(trace.back(), "[Upkeep] Too Big ? : fmtp=" + size);
}

TEST_F(StructureImageTest, AShorterImageIsWrittenOverTheMemoFromItsFirstByte) {
  storeImage(Bytes(5000, 'x'));
  const files::FileDeclaration file(app::kCategortSpec);
  const std::int32_t result = ReadFormat(file);
  const Bytes image = imageOf(file);
  ASSERT_EQ(result, static_cast<std::int32_t>(image.size() + 1));
  const std::string_view content = UpgFormat().content();
  EXPECT_EQ(content.substr(0, image.size()), std::string(image.begin(), image.end()));
  EXPECT_EQ(content.substr(image.size()), std::string(5000 - image.size(), 'x'));
}

// An older image of a declaration: driver code first, 16-bit numbers and descriptor.
Bytes olderImage() {
  // STRING(20) "OLD:NAME", LONG "OLD:ID"; key OLD:K_ID (NOCASE, descending on field 2);
  // memo OLD:NOTES of 1000 bytes.
  Bytes image = {'V',  'k',  'f', 0,   0,   0x00, 1,   1,   24,  0,   1,    4,    0,
                 0,    'O',  'L', 'D', ':', 'K',  '_', 'I', 'D', 0,   0xFE, 0xFF, 1,
                 0xE8, 0x03, 0,   'O', 'L', 'D',  ':', 'N', 'O', 'T', 'E',  'S',  0};
  const Bytes descriptor = {0x16, 0,   24,  0,   2, 0, 29, 0,   18,  0,   20,  'O', 'L', 'D', ':',
                            'N',  'A', 'M', 'E', 0, 6, 0,  'O', 'L', 'D', ':', 'I', 'D', 0};
  image.insert(image.end(), descriptor.begin(), descriptor.end());
  return image;
}

TEST_F(StructureImageTest, AnOlderImageBuildsTheSameFileAsItsCurrentDeclaration) {
  struct Rec {
    runtime::String<20> NAME;
    runtime::Long ID;
  };
  static constexpr runtime::FieldDef kFields[] = {GD_FIELD(Rec, NAME, "OLD:NAME"),
                                                  GD_FIELD(Rec, ID, "OLD:ID")};
  static constexpr files::KeySpec kKeys[] = {{"OLD:K_ID", files::KeyNoCase, {-2}}};
  static constexpr files::MemoSpec kMemos[] = {{"OLD:NOTES", 1000}};
  const files::FileDeclaration current({.label = "o",
                                        .prefix = "OLD",
                                        .name = "o",
                                        .attributes = 0x04,
                                        .fields = kFields,
                                        .recordSize = sizeof(Rec),
                                        .keys = kKeys,
                                        .memos = kMemos});
  storeImage(olderImage());
  ASSERT_EQ(MakeFile(0), 1);
  EXPECT_EQ(imageOf(DESTFILE()), imageOf(current));
  EXPECT_EQ(DESTFILE().prefix(), "AAAZ");
}

TEST_F(StructureImageTest, AnOlderDescriptorIsWidenedBetweenTheLinesOfConvertGroup) {
  const auto convertGroupLines = [this] {
    std::vector<std::string> lines;
    for (const std::string& line : takeTrace())
      if (line.starts_with("[Upkeep] ConvertGroup")) lines.push_back(line);
    return lines;
  };
  storeImage(olderImage());
  ASSERT_EQ(MakeFile(1), 1);
  EXPECT_TRUE(convertGroupLines().empty()) << "no line without the switch";
  commandLine("/debugupk");
  resetDebugSettings();
  LoadDebugSettings();
  takeTrace();
  ASSERT_EQ(MakeFile(1), 1);
  EXPECT_EQ(convertGroupLines(),
            (std::vector<std::string>{"[Upkeep] ConvertGroup In", "[Upkeep] ConvertGroup Out"}));
  storeImage(imageOf(files::FileDeclaration(app::kCategortSpec)));
  ASSERT_EQ(MakeFile(1), 1);
  EXPECT_TRUE(convertGroupLines().empty()) << "a current image is not widened";
}

TEST_F(StructureImageTest, EveryTruncationAndBitFlipGivesACleanResult) {
  std::vector<std::pair<std::string, Bytes>> images = {{"older", olderImage()}};
  for (const auto& [label, spec] : programSpecs())
    images.emplace_back(std::string(label), imageOf(files::FileDeclaration(spec)));
  IgnoreStops stops;
  for (const auto& [label, image] : images) {
    SCOPED_TRACE(label);
    storeImage(image);
    ASSERT_EQ(MakeFile(1), 1);
    for (std::size_t cut = 0; cut < image.size(); ++cut) {
      const files::FileDeclaration* before = &INFILE();
      storeImage(Bytes(image.begin(), image.begin() + cut));
      ASSERT_EQ(MakeFile(1), 0) << "cut to " << cut;
      EXPECT_EQ(&INFILE(), before);
    }
    for (std::size_t i = 0; i < image.size(); ++i) {
      for (int bit = 0; bit < 8; ++bit) {
        Bytes flipped = image;
        flipped[i] ^= static_cast<std::uint8_t>(1 << bit);
        storeImage(flipped);
        const files::FileDeclaration* before = &INFILE();
        const std::int32_t result = MakeFile(1);
        ASSERT_TRUE(result == 0 || result == 1);
        if (result == 0) {
          EXPECT_EQ(&INFILE(), before);
        }
      }
    }
  }
}

// A stored structure the runtime cannot describe is refused whole, with the reason traced,
// never read from the wrong place.
TEST_F(StructureImageTest, AnUnknownTypeCodeOrMoreThanFourDimensionsIsRefusedWithItsReason) {
  struct Rec {
    runtime::Long A[2];
  };
  static constexpr runtime::FieldDef kFields[] = {GD_FIELD(Rec, A, "T:A")};
  const Bytes image = imageOf(files::FileDeclaration(
      {.label = "t", .prefix = "T", .name = "t", .fields = kFields, .recordSize = sizeof(Rec)}));
  const std::size_t descriptor = image.size() - (14 + 2 + 4 + 2);  // header, entry, label, dims
  ASSERT_EQ(image[descriptor], 0x16);
  Bytes unknownType = image;
  unknownType[descriptor + 14] = 12;
  Bytes fiveDimensions = image;
  fiveDimensions[image.size() - 2] = 5;
  for (const Bytes& bad : {unknownType, fiveDimensions}) {
    storeImage(bad);
    takeTrace();
    const files::FileDeclaration* before = &INFILE();
    EXPECT_EQ(MakeFile(1), 0);
    EXPECT_EQ(&INFILE(), before);
    const std::vector<std::string> trace = takeTrace();
    ASSERT_EQ(trace.size(), 1u);
    EXPECT_NE(trace[0].find("stored structure refused"), std::string::npos) << trace[0];
  }
}

TEST_F(StructureImageTest, AnUnregisteredDriverCodeStopsWithM10AndBuildsNothing) {
  IgnoreStops stops;
  Bytes image = imageOf(files::FileDeclaration(app::kCategortSpec));
  image[1] = 'X';
  image[2] = 'Y';
  image[3] = 'Z';
  storeImage(image);
  const files::FileDeclaration* before = &INFILE();
  EXPECT_EQ(MakeFile(1), 0);
  EXPECT_EQ(&INFILE(), before);
  EXPECT_EQ(stops.texts,
            std::vector<std::string>{"Upkeep: Warning - Driver not located - GPF likely XYZ"});
}

TEST_F(StructureImageTest, DriverPointerComparesClippedCodesInUpperCase) {
  EXPECT_EQ(DriverPointer("vKF "), files::Driver::Caskfile);
}

TEST_F(StructureImageTest, ANameOverAHundredCharactersIsRefusedNotCut) {
  IgnoreStops stops;
  ASSERT_TRUE(setMadeFileName(1, std::string(100, 'a')));
  EXPECT_EQ(InFileName().clipped(), std::string(100, 'a'));
  EXPECT_FALSE(setMadeFileName(1, std::string(100, 'a') + "b"));
  EXPECT_EQ(InFileName().clipped(), "");
  ASSERT_EQ(stops.texts.size(), 1u);
  EXPECT_NE(stops.texts[0].find(std::string(100, 'a') + "b"), std::string::npos);
}

}  // namespace
}  // namespace upkeep
