// The program's registration with the upgrade engine: its options, the Caskfile driver, the
// five managed files with their structure versions and the alternate names of their memos.
// mainagc and the list-format file are not registered.
#pragma once

namespace app {

// Makes the registration calls unless they were made in this process already: ds_SetOption
// "BadFile" 0, ds_AddDriver "Vkf" with a dummy Caskfile FILE, ds_IgnoreDriver "AllFiles" 1,
// ds_SetOption "SPCreate" 1, then ds_UsingFile for categort, codeby and func,
// ds_AlternateFieldName "FUN:examplecode", ds_UsingFile for projects (version 8) and template,
// ds_AlternateFieldName "tpl:Coding". The files passed are the calling thread's instances.
// Answers true when this call made them.
bool registerWithUpgradeEngine();

// Starts a new process's registration state: the calls have not been made, and the dummy
// driver FILE is released (process start and end).
void resetUpgradeRegistration();

}  // namespace app
