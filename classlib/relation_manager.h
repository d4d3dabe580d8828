// The relation manager of a declared file: windows open and close a file through it, and it
// holds the file's relations to other files (the related relation manager, the referential
// modes on update and delete, the key and the linked field pairs). One per declared file and
// thread, beside the file's FileManager.
//
// Relations are added in a deferred step (deferredAddRelations), run by the first open, so
// that every relation manager of the dictionary exists before any of them names another.
#pragma once

#include <span>
#include <utility>
#include <vector>

#include "classlib/file_manager.h"

namespace classlib {

// Referential modes of a relation on update and delete. Only "no action" is supported: a
// change or deletion of the parent leaves the related records as they are.
enum RelationMode : int {
  RelationNoAction = 0,
};

class RelationManager;

// One relation: the related file's relation manager, the modes, the key of the related file
// the relation runs on (0 = none), and the linked fields as pairs of field numbers (this
// file's field, the related file's field).
struct Relation {
  RelationManager* related = nullptr;
  int updateMode = RelationNoAction;
  int deleteMode = RelationNoAction;
  int key = 0;
  std::vector<std::pair<int, int>> links;
};

class RelationManager {
 public:
  RelationManager() = default;
  virtual ~RelationManager() = default;
  RelationManager(const RelationManager&) = delete;
  RelationManager& operator=(const RelationManager&) = delete;

  // ---- Virtual operations, in slot order ----

  // Attaches the file manager and the mode (1: referential actions under a transaction), with
  // no relations yet and none deferred.
  virtual void init(FileManager& fileManager, int mode);
  // Adds this file's relations; run once, by the first open. The library's own step only marks
  // the relations as added; overrides add theirs and then run it.
  virtual void deferredAddRelations();
  // Runs the deferred step if it has not run, then makes the file manager use the file.
  // Answers what FileManager::use answers.
  virtual int open();
  // Releases the file manager's use of the file. Answers what FileManager::close answers.
  virtual int close();
  // Adds a relation to `related` with the modes and the key of the related file (0 = none).
  // Answers false, adding nothing, for a mode that is not RelationNoAction, a key the related
  // file does not have, or a related manager without a file manager.
  virtual bool addRelation(RelationManager& related, int updateMode, int deleteMode, int key);
  // Links field `field` of this file with field `relatedField` of the file of the relation
  // added last. Answers false, linking nothing, when there is no relation or either field
  // does not exist.
  virtual bool addLinkPair(int field, int relatedField);
  // Forgets the relations and their link pairs and detaches the file manager (which the
  // dictionary kills itself).
  virtual void kill();

  // ---- State ----

  FileManager* fileManager() const { return fileManager_; }
  int mode() const { return mode_; }
  std::span<const Relation> relations() const { return relations_; }
  bool relationsAdded() const { return relationsAdded_; }

 private:
  FileManager* fileManager_ = nullptr;
  int mode_ = 0;
  std::vector<Relation> relations_;
  bool relationsAdded_ = false;
};

}  // namespace classlib
