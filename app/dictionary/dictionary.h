// The data dictionary of a thread: one file manager and one relation manager per managed file
// (managed_files.h), created, initialised and killed in the order projects, codeby, mainagc,
// template, categort, func. Windows open a file through its relation manager, read and write
// through its file manager, and close through the relation manager.
#pragma once

#include "classlib/file_manager.h"
#include "classlib/relation_manager.h"
#include "platform/files/file_declaration.h"

namespace app {

// Creates the calling thread's six pairs of managers (blank) and publishes the relation
// managers. Does nothing and answers false when the thread has them already.
bool dictionary_create();
// Initialises the calling thread's relation managers, each with its file manager.
void dictionary_init();
// Kills and frees the calling thread's relation managers (and with them the file managers);
// nothing happens for a thread without them.
void dictionary_kill();
// dictionary_create, then dictionary_init when the create made the managers.
void dictionary_create_init();
// dictionary_kill.
void dictionary_kill_entry();

// The calling thread's file manager or relation manager of `file` (projects, codeby, mainagc,
// template_, categort or func). A relation manager is there from dictionary_create, a file
// manager from dictionary_init; both are nullptr after the kill, on a thread without a
// dictionary, and for the list-format file.
classlib::FileManager* fileManager(const files::PerThreadFile& file);
classlib::RelationManager* relationManager(const files::PerThreadFile& file);

}  // namespace app
