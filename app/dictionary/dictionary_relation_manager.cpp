#include "app/dictionary/dictionary_relation_manager.h"

#include <cassert>

#include "app/dictionary/dictionary.h"
#include "app/dictionary/thread_dictionary.h"

namespace app {

DictionaryRelationManager::DictionaryRelationManager(const ManagedFileSpec& spec)
    : spec_(spec), ownFileManager_(std::make_unique<DictionaryFileManager>(spec)) {}

void DictionaryRelationManager::deferredAddRelations() {
  const RelationSpec& relation = kCodebyProjects;
  if (spec_.file == relation.parent) {
    classlib::RelationManager* child = relationManager(*relation.child);
    assert(child && "the dictionary is initialised before a file opens");
    [[maybe_unused]] const bool added =
        addRelation(*child, relation.updateMode, relation.deleteMode,
                    relation.child->get().keyNumber(relation.childKey)) &&
        addLinkPair(relation.parentField, relation.childField);
    assert(added && "the codeby-projects relation does not fit the declarations");
  } else if (spec_.file == relation.child) {
    classlib::RelationManager* parent = relationManager(*relation.parent);
    assert(parent && "the dictionary is initialised before a file opens");
    addRelation(*parent, relation.updateMode, relation.deleteMode, 0);
  }
  RelationManager::deferredAddRelations();
}

void DictionaryRelationManager::kill() {
  if (ownFileManager_) ownFileManager_->kill();
  RelationManager::kill();
  threadDictionary().relations[managedIndex(*spec_.file)] = nullptr;
  ownFileManager_.reset();
}

void DictionaryRelationManager::initialise() {
  assert(ownFileManager_ && "a killed relation manager is not initialised again");
  ownFileManager_->initialise();
  init(*ownFileManager_, 1);
}

}  // namespace app
