#include "app/dictionary/dictionary.h"

#include <memory>

#include "app/dictionary/dictionary_relation_manager.h"
#include "app/dictionary/thread_dictionary.h"

namespace app {
namespace {

// The managers the calling thread owns, in dictionary order.
thread_local std::array<std::unique_ptr<DictionaryRelationManager>, kManagedFileCount> owned;

}  // namespace

ThreadDictionary& threadDictionary() {
  thread_local ThreadDictionary dictionary;
  return dictionary;
}

std::size_t managedIndex(const files::PerThreadFile& file) {
  for (std::size_t i = 0; i < kManagedFiles.size(); ++i)
    if (kManagedFiles[i].file == &file) return i;
  return kManagedFileCount;
}

bool dictionary_create() {
  for (const auto& manager : owned)
    if (manager) return false;
  for (std::size_t i = 0; i < kManagedFiles.size(); ++i)
    owned[i] = std::make_unique<DictionaryRelationManager>(kManagedFiles[i]);
  for (std::size_t i = 0; i < kManagedFiles.size(); ++i)
    threadDictionary().relations[i] = owned[i].get();
  return true;
}

void dictionary_init() {
  for (const auto& manager : owned)
    if (manager) manager->initialise();
}

void dictionary_kill() {
  for (auto& manager : owned) {
    if (!manager) continue;
    manager->kill();
    manager.reset();
  }
}

void dictionary_create_init() {
  if (dictionary_create()) dictionary_init();
}

void dictionary_kill_entry() { dictionary_kill(); }

classlib::FileManager* fileManager(const files::PerThreadFile& file) {
  const std::size_t index = managedIndex(file);
  return index < kManagedFileCount ? threadDictionary().files[index] : nullptr;
}

classlib::RelationManager* relationManager(const files::PerThreadFile& file) {
  const std::size_t index = managedIndex(file);
  return index < kManagedFileCount ? threadDictionary().relations[index] : nullptr;
}

}  // namespace app
