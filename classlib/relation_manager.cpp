#include "classlib/relation_manager.h"

#include <cassert>

#include "platform/files/file_declaration.h"

namespace classlib {
namespace {

bool hasField(const FileManager* manager, int field) {
  return manager && manager->file() && manager->file()->layout().field(field) != nullptr;
}

}  // namespace

void RelationManager::init(FileManager& fileManager, int mode) {
  fileManager_ = &fileManager;
  mode_ = mode;
  relations_.clear();
  relationsAdded_ = false;
}

void RelationManager::deferredAddRelations() { relationsAdded_ = true; }

int RelationManager::open() {
  assert(fileManager_ && "open needs the file manager");
  if (!relationsAdded_) deferredAddRelations();
  return fileManager_->use(UseOpens);
}

int RelationManager::close() {
  assert(fileManager_ && "close needs the file manager");
  return fileManager_->close();
}

bool RelationManager::addRelation(RelationManager& related, int updateMode, int deleteMode,
                                  int key) {
  if (updateMode != RelationNoAction || deleteMode != RelationNoAction) return false;
  const FileManager* other = related.fileManager();
  if (other == nullptr || other->file() == nullptr) return false;
  if (key != 0 && other->file()->key(key) == nullptr) return false;
  relations_.push_back({&related, updateMode, deleteMode, key, {}});
  return true;
}

bool RelationManager::addLinkPair(int field, int relatedField) {
  if (relations_.empty() || !hasField(fileManager_, field) ||
      !hasField(relations_.back().related->fileManager(), relatedField)) {
    return false;
  }
  relations_.back().links.emplace_back(field, relatedField);
  return true;
}

void RelationManager::kill() {
  relations_.clear();
  relationsAdded_ = false;
  fileManager_ = nullptr;
}

}  // namespace classlib
