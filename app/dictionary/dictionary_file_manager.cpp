#include "app/dictionary/dictionary_file_manager.h"

#include <cassert>
#include <memory>
#include <string>

#include "app/dictionary/services.h"
#include "app/dictionary/thread_dictionary.h"
#include "classlib/bound_memo.h"

namespace app {

void DictionaryFileManager::bindFields() {
  FileManager::bindFields();
  if (spec_.memoName.empty()) return;
  bindName(spec_.memoName, std::make_shared<classlib::BoundMemo>(*file()->memo(1)));
}

void DictionaryFileManager::kill() {
  FileManager::kill();
  threadDictionary().files[managedIndex(*spec_.file)] = nullptr;
}

int DictionaryFileManager::use(int useType) {
  if (useType != classlib::UseInitialises) use(classlib::UseInitialises);
  if (useType == classlib::UseInitialises && !initialisedForUse_) {
    initialisedForUse_ = true;
    initWith(spec_.file->get(), globalErrors());
    setCreate(true);
    setLockWait(kDictionaryLockWait);
    for (const ManagedKeySpec& key : spec_.keys) {
      [[maybe_unused]] const bool added =
          addKey(file()->keyNumber(key.label), key.description, key.autoNumber);
      assert(added && "a dictionary key the FILE does not have");
    }
  }
  return FileManager::use(useType);
}

void DictionaryFileManager::initialise() {
  initialisedForUse_ = false;
  files::FileDeclaration& declaration = spec_.file->get();
  setBuffer(declaration.record(), declaration.descriptor());
  setName(declaration.label());
  setErrors(globalErrors());
  setFile(declaration);
  init();
  threadDictionary().files[managedIndex(*spec_.file)] = this;
}

}  // namespace app
