// A small keyed file for the tests of the managers: items with an auto-numbered primary key, a
// unique case-insensitive name key and a memo, kept in a scratch folder; and order lines whose
// line number is auto-numbered within each order.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "classlib/error_reporter.h"
#include "platform/files/file_declaration.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/scripted_answerer.h"
#include "platform/runtime/text_types.h"
#include "tests/support/scratch_folder.h"

namespace classlib::testing {

struct Item {
  runtime::Long ID;
  runtime::CString<20> NAME;
  runtime::Byte FLAG;
};
static_assert(sizeof(Item) == 25);

inline constexpr int kItemId = 1, kItemName = 2, kItemFlag = 3;  // field numbers
inline constexpr int kItemPrimary = 1, kItemByName = 2;          // key numbers

inline const runtime::FieldDef kItemFields[] = {
    GD_FIELD(Item, ID, "ITM:ID"),
    GD_FIELD(Item, NAME, "ITM:NAME"),
    GD_FIELD(Item, FLAG, "ITM:FLAG"),
};
inline const files::KeySpec kItemKeys[] = {
    {"ITM:P_ID", files::KeyPrimary | files::KeyNoCase | files::KeyOpt, {kItemId}},
    {"ITM:K_NAME", files::KeyNoCase | files::KeyOpt, {kItemName}},
};
inline const files::MemoSpec kItemMemos[] = {{"ITM:NOTES", 200}};

struct Line {
  runtime::Long ORDER;
  runtime::Long LINE;
};
inline const runtime::FieldDef kLineFields[] = {
    GD_FIELD(Line, ORDER, "LIN:ORDER"),
    GD_FIELD(Line, LINE, "LIN:LINE"),
};
inline const files::KeySpec kLineKeys[] = {{"LIN:K_LINE", files::KeyPrimary, {1, 2}}};

// The scratch folder, the declarations and an error reporter whose boxes are scripted.
class ManagerTest : public ::testing::Test {
 protected:
  ManagerTest() { errors_.init(); }

  files::FileSpec itemSpec() const {
    files::FileSpec spec;
    spec.label = "items";
    spec.prefix = "ITM";
    spec.name = itemPath_;
    spec.fields = kItemFields;
    spec.recordSize = sizeof(Item);
    spec.keys = kItemKeys;
    spec.memos = kItemMemos;
    return spec;
  }
  files::FileSpec lineSpec() const {
    files::FileSpec spec;
    spec.label = "lines";
    spec.prefix = "LIN";
    spec.name = linePath_;
    spec.fields = kLineFields;
    spec.recordSize = sizeof(Line);
    spec.keys = kLineKeys;
    return spec;
  }

  // The texts of the boxes shown so far.
  std::vector<std::string> shownTexts() const {
    std::vector<std::string> texts;
    for (const runtime::MessageRequest& box : answerer_.shown()) texts.push_back(box.text);
    return texts;
  }

  support::ScratchFolder folder_;
  std::string itemPath_ = folder_.file("items.aaa");
  std::string linePath_ = folder_.file("lines.aaa");
  runtime::ScriptedAnswerer answerer_;
  runtime::InterceptingHalter halter_;
  runtime::ScopedMessageHandlers handlers_{answerer_, halter_};
  ErrorReporter errors_;
};

}  // namespace classlib::testing
