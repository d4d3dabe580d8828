// The relation manager of one dictionary file. It owns the file's DictionaryFileManager and
// holds the file's relations: codeby names projects (no action on update or delete, the key
// PRO:K_CODEBY, the link COD:NAME = PRO:CODEBY), projects names codeby; the others none.
#pragma once

#include <memory>

#include "app/dictionary/dictionary_file_manager.h"
#include "classlib/relation_manager.h"

namespace app {

class DictionaryRelationManager : public classlib::RelationManager {
 public:
  // A relation manager with a new, blank file manager of the file.
  explicit DictionaryRelationManager(const ManagedFileSpec& spec);

  // Adds the file's relations (codeby and projects only), then runs the library's step.
  void deferredAddRelations() override;
  // Kills the file manager, runs the library's kill, clears the thread's reference to this
  // relation manager and disposes of the file manager.
  void kill() override;

  // Initialises the file manager, then the library's relation manager with it and mode 1.
  void initialise();

  const ManagedFileSpec& spec() const { return spec_; }

 private:
  const ManagedFileSpec& spec_;
  std::unique_ptr<DictionaryFileManager> ownFileManager_;
};

}  // namespace app
