// The form pattern: what every form of the program (the form of one record of a dictionary
// file) does the same way. A form is described by a FormSpec; its controller derives from
// FormWindow and adds only its own steps (file dialogs, lookups).
//
// The procedure (FormWindow::runProcedure): the tab-stop navigation is created, the window
// opened, the controller run, its answer put in the thread's response byte, the window closed
// and the navigation killed. The controller's opening registers the procedure name with the
// error reporter, takes the request from the thread's request byte (and clears both bytes),
// sets the history key (Ctrl+H) and fields, makes the FormSpec's primary file the form's file,
// opens the FormSpec's files through their relation managers and prepares the record for the
// request. In the view request nothing can be saved: the entries and buttons the FormSpec names
// become read-only and disabled, OK only closes the form, and the form answers 2.
#pragma once

#include <span>
#include <string_view>

#include "app/windows/tab_stop_nav.h"
#include "classlib/record_snapshot.h"
#include "classlib/toolbar.h"
#include "classlib/window_controller.h"
#include "classlib/window_resizer.h"
#include "platform/files/file_declaration.h"
#include "platform/window/window_definition.h"

namespace app {

inline constexpr std::string_view kFormLabel = "P1$QUICKWINDOW";
inline constexpr int kFormHistoryKey = 0x248;  // Ctrl+H
inline constexpr int kFormFirstField = 3;

// A control that shows a field of the primary record and takes part in the history.
struct HistoryField {
  int control;
  int field;  // 1-based in the record
};

// A lookup entry and its "..." button: the button takes the entry's tip and message, prefixed
// "Select ", when it has none of its own.
struct LookupButton {
  int entry;
  int button;
};

struct FormSpec {
  std::string_view procedure;  // "update_projects": the name the error reporter shows
  std::string_view key;        // the window resource: key, label kFormLabel
  const files::PerThreadFile* primary;
  // Opened through their relation managers while the form runs (the primary one among them).
  std::span<const files::PerThreadFile* const> files;
  std::span<const HistoryField> history;
  int okControl;
  int cancelControl;
  std::span<const int> viewReadOnly;  // entries made read-only in the view request
  std::span<const int> viewDisabled;  // buttons disabled in the view request
  std::span<const LookupButton> lookups = {};
};

class FormWindow : public classlib::WindowController {
 public:
  // `history` is the form's history record of the calling thread (empty at the thread's first
  // form); it must outlive the controller.
  FormWindow(const FormSpec& spec, classlib::RecordSnapshot& history)
      : spec_(spec), history_(history) {}

  // The whole form procedure; the response goes to the thread's response byte.
  void runProcedure();

  int init() override;
  int kill() override;
  // The controller's answer; 2 (cancelled) in the view request, whatever happened.
  int run() override;
  using WindowController::run;
  // The tab-stop navigation first; a key it handles ends the event's processing.
  int takeEvent() override;
  // The library's handling, a save of the controls into the record, then: OK in the view
  // request closes the form; any other control goes to takeFormAccepted.
  int takeAccepted() override;

  // True in the view request (unless the form completes its request in batch processing).
  bool viewing() const;
  const FormSpec& spec() const { return spec_; }

 protected:
  // The form's own set-up once its window is open and made read-only for the view request,
  // before the resizer and the reset: file selectors, say.
  virtual void setUpForm() {}
  // The form's own handling of an accepted control; answers a level as takeAccepted does.
  virtual int takeFormAccepted(int control) {
    (void)control;
    return classlib::LevelBenign;
  }

 private:
  void openFiles();
  void closeFiles();
  void copyLookupTips();

  const FormSpec& spec_;
  classlib::RecordSnapshot& history_;
  TabStopNav nav_;
  classlib::Toolbar toolbar_;
  classlib::WindowResizer resizer_;
  std::string callerProcedure_;
};

// The resource skeleton of a form: key, label kFormLabel, title, icon, a status bar of three
// zones (the request's text shows in zone 2), a sheet (control 1) with one tab (control 2)
// titled `tab` for the form's controls, and the "&OK" and "&Cancel" buttons with their tips at
// the bottom right.
window::WindowDefinition formResource(std::string_view key, std::string_view title,
                                      std::string_view tab, window::Rect at, int okControl,
                                      int cancelControl);

// Runs the lookup list `list` over `file` for the value the caller put into the fields of the
// file's key `keyLabel` in the record buffer: the buffer gets the record with that value when
// there is one, else the one that follows it in key order (it keeps the value when none
// follows). Then `list` runs with the select request; answers its response, with 1 the chosen
// record in the buffer.
int runLookup(const files::PerThreadFile& file, std::string_view keyLabel, void (*list)());

}  // namespace app
