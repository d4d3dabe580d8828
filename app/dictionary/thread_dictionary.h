// The calling thread's references to its dictionary managers, by place in kManagedFiles.
#pragma once

#include <array>
#include <cstddef>

#include "app/dictionary/managed_files.h"

namespace app {

class DictionaryFileManager;
class DictionaryRelationManager;

struct ThreadDictionary {
  std::array<DictionaryFileManager*, kManagedFileCount> files{};
  std::array<DictionaryRelationManager*, kManagedFileCount> relations{};
};

ThreadDictionary& threadDictionary();

// The place of `file` in kManagedFiles; kManagedFileCount when it is not managed.
std::size_t managedIndex(const files::PerThreadFile& file);

}  // namespace app
