// Field lists of declarations built in code, read as the upgrade reads them.
#pragma once

#include <cstdint>
#include <span>

#include "platform/files/file_declaration.h"
#include "upkeep/declaration_reader.h"

namespace upkeep {

// A declaration of the file "projects.aaa", prefix PRO, with these fields and memos.
files::FileSpec specOf(std::span<const runtime::FieldDef> fields, std::uint32_t size,
                       std::span<const files::MemoSpec> memos = {});

// The field list of `file` (LoadpQueue): a destination list when `destination` is set, else a
// source list. A declaration that does not read fails the test.
FieldQueue fieldList(files::FileDeclaration& file, bool destination);

}  // namespace upkeep
