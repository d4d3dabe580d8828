// The registered driver code of a FILE.
#pragma once

#include <string>

namespace files {
class FileDeclaration;
class FileView;
}  // namespace files

namespace upkeep {

// `DriverUsed`: the code (`DR:NAME`, case as registered) of the first registered driver whose
// identity is the FILE's driver; empty when its driver is not registered.
std::string DriverUsed(const files::FileDeclaration& file);
// A VIEW's: always empty, as a view has no driver of its own that could be registered.
std::string DriverUsed(const files::FileView& view);

}  // namespace upkeep
