#include "upkeep/upg_file.h"

#include <cstddef>

#include "platform/runtime/record_layout.h"

namespace upkeep {
namespace {

using files::KeyNoCase;
using files::MemoKindMemo;

constexpr runtime::FieldDef kUpgFields[] = {
    GD_FIELD(UpgRecord, LABEL, "UPG:LABEL"),   GD_FIELD(UpgRecord, PREFIX, "UPG:PREFIX"),
    GD_FIELD(UpgRecord, DRIVER, "UPG:DRIVER"), GD_FIELD(UpgRecord, VERSION, "UPG:VERSION"),
    GD_FIELD(UpgRecord, EXTRA1, "UPG:EXTRA1"), GD_FIELD(UpgRecord, EXTRA2, "UPG:EXTRA2"),
    GD_FIELD(UpgRecord, EXTRA3, "UPG:EXTRA3"),
};
static_assert(runtime::hasOffsets(kUpgFields, {0, 50, 70, 80, 82, 86, 90}));

constexpr files::KeySpec kUpgKeys[] = {
    {"UPG:KEY", KeyNoCase, {1, 4}},
    {"UPG:PREKEY", KeyNoCase, {2, 4}},
};
constexpr files::MemoSpec kUpgMemos[] = {{"UPG:FMT", MAXDEFSIZE, MemoKindMemo}};

constexpr runtime::FieldDef kOldUpgFields[] = {
    GD_FIELD(OldUpgRecord, LABEL, "OUPG:LABEL"),
    GD_FIELD(OldUpgRecord, PREFIX, "OUPG:PREFIX"),
    GD_FIELD(OldUpgRecord, DRIVER, "OUPG:DRIVER"),
    GD_FIELD(OldUpgRecord, VERSION, "OUPG:VERSION"),
};
static_assert(runtime::hasOffsets(kOldUpgFields, {0, 50, 70, 80}));

constexpr files::KeySpec kOldUpgKeys[] = {
    {"OUPG:KEY", KeyNoCase, {1, 4}},
    {"OUPG:PREKEY", KeyNoCase, {2, 4}},
};
constexpr files::MemoSpec kOldUpgMemos[] = {{"OUPG:FMT", kOldImageSize, MemoKindMemo}};

runtime::CString<1024> upgName;
runtime::CString<1024> oldUpgName;

constexpr files::FileSpec kUpgSpec{
    .label = "UPG",
    .prefix = "UPG",
    .driver = files::Driver::Caskfile,
    .nameVariable = files::bindName(upgName),
    .fields = kUpgFields,
    .recordSize = sizeof(UpgRecord),
    .keys = kUpgKeys,
    .memos = kUpgMemos,
};

constexpr files::FileSpec kOldUpgSpec{
    .label = "OUPG",
    .prefix = "OUPG",
    .driver = files::Driver::Caskfile,
    .nameVariable = files::bindName(oldUpgName),
    .fields = kOldUpgFields,
    .recordSize = sizeof(OldUpgRecord),
    .keys = kOldUpgKeys,
    .memos = kOldUpgMemos,
};

}  // namespace

runtime::CString<1024>& UpgFileName() { return upgName; }
runtime::CString<1024>& OldUpgFileName() { return oldUpgName; }

files::FileDeclaration& UpgFile() {
  static files::FileDeclaration file(kUpgSpec);
  return file;
}

files::Memo& UpgFormat() { return *UpgFile().memo(1); }

files::FileDeclaration& OldUpgFile() {
  static files::FileDeclaration file(kOldUpgSpec);
  return file;
}

files::Memo& OldUpgFormat() { return *OldUpgFile().memo(1); }

}  // namespace upkeep
