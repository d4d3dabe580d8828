// What the dictionary tells the class library about each of its six managed files (every file
// but the list-format file, which the list format manager handles alone): the keys the file
// manager adds with their descriptions and auto-number flags, and the name its memo is bound
// under for filter expressions. The display name is the file's label.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "app/dictionary/declarations.h"

namespace app {

struct ManagedKeySpec {
  std::string_view label;        // the key's label in the FILE
  std::string_view description;  // what the error reporter shows for "%Key"
  bool autoNumber = false;
};

struct ManagedFileSpec {
  const files::PerThreadFile* file;
  std::span<const ManagedKeySpec> keys;  // in the order they are added
  std::string_view memoName = {};        // the memo's bound name; empty when none is bound
};

inline constexpr ManagedKeySpec kProjectsManagedKeys[] = {
    {"PRO:K_CODEBY", "PRO:K_Codeby"},
    {"PRO:K_DESCRIPTION", "PRO:k_description"},
    {"PRO:K_CATEGORY", "PRO:k_category"},
    {"PRO:P_ID", "PRO:P_ID", true},
};
inline constexpr ManagedKeySpec kCodebyManagedKeys[] = {{"COD:P_NAME", "COD:P_Name"}};
inline constexpr ManagedKeySpec kTemplateManagedKeys[] = {
    {"TPL:K_DESCRIPTION", "tpl:k_description"},
    {"TPL:P_ID", "tpl:P_ID", true},
};
inline constexpr ManagedKeySpec kCategortManagedKeys[] = {{"CAT:P_CAT", "CAT:P_Cat"}};
inline constexpr ManagedKeySpec kFuncManagedKeys[] = {{"FUN:P_ID", "FUN:P_ID", true}};

// The six files in dictionary order: created, initialised and killed in this order.
inline constexpr std::size_t kManagedFileCount = 6;
inline const std::array<ManagedFileSpec, kManagedFileCount> kManagedFiles = {{
    {&projects, kProjectsManagedKeys},
    {&codeby, kCodebyManagedKeys},
    {&mainagc, {}},
    {&template_, kTemplateManagedKeys, "tpl:Coding"},
    {&categort, kCategortManagedKeys},
    {&func, kFuncManagedKeys, "FUN:examplecode"},
}};

}  // namespace app
