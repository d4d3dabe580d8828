// The window controller: the window manager a window procedure derives its own class from. It
// runs the window (initialise, the event loop, kill), hands each event to an overridable step
// by its kind, drives the window's components (browses, toolbar, resizer ...), closes the
// window with a response on the buttons it was told about, and, for a form, prepares the
// record for the request and completes the request through the primary file manager.
//
// Every step is a virtual operation; a procedure overrides the ones it adds to and calls the
// base where its own work goes before or after the library's. The steps that take an event
// answer 0 (LevelBenign) to go on, or a level that ends the event loop.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "classlib/error_level.h"
#include "classlib/record_snapshot.h"
#include "classlib/request.h"
#include "classlib/toolbar.h"
#include "classlib/window_component.h"

namespace window {
class Window;
}

namespace classlib {

class ErrorReporter;
class FileManager;

// How a form carries out the steps of its request (INSERTACTION, CHANGEACTION, DELETEACTION,
// CANCELACTION).
enum FormAction : int {
  ActionAtOnce = 0,   // without asking
  ActionNone = 1,     // not at all: nothing is written, nothing is asked
  ActionConfirm = 2,  // asking first where something would be lost: a delete asks before it
                      // deletes, a cancel asks before it throws changes away; an insert or a
                      // change has nothing to lose and is written at once
};

class WindowController : public ToolbarTarget {
 public:
  WindowController() = default;
  virtual ~WindowController() = default;
  WindowController(const WindowController&) = delete;
  WindowController& operator=(const WindowController&) = delete;

  // ---- Fields set by the application ----

  int REQUEST = RequestNone;          // what the window is asked to do
  int ORIGINALREQUEST = RequestNone;  // the request the window was opened with (set by init)
  int RESPONSE = ResponseCancelled;   // what run() answers
  int FIRSTFIELD = 0;                 // the control that takes the focus when the window opens
  int HISTORYKEY = 0;                 // the key that puts back a history field's last value
  int OKCONTROL = 0;                  // the button that completes the request; 0 = none
  int INSERTACTION = ActionConfirm;
  int CHANGEACTION = ActionConfirm;
  int DELETEACTION = ActionConfirm;
  int CANCELACTION = ActionConfirm;
  bool BATCHPROCESSING = false;  // complete the request without showing the window to the user
  bool FILESOPENED = false;      // set by the application once it has opened its files
  FileManager* PRIMARY = nullptr;
  ErrorReporter* ERRORS = nullptr;

  // ---- Virtual operations, in slot order ----
  //
  // A form is a window whose controller has a PRIMARY file manager: it works on that file's
  // record buffer for REQUEST, and everything the user changed is put back when it is cancelled.

  // The library's initialisation: not killed, ORIGINALREQUEST := REQUEST, RESPONSE cancelled.
  // Answers LevelBenign; an override answers another level to refuse the window (run() then
  // skips the event loop).
  virtual int init();
  // Ends the window's work: kills every component and forgets the window. Answers LevelBenign,
  // or LevelNotify when the window was killed already (or never initialised).
  virtual int kill();
  // init(); unless it refused, the event loop (ask); then kill(). Answers RESPONSE.
  virtual int run();
  // Runs called procedure `number` with `request` and answers its response. The library's
  // controller has no procedures to call and answers ResponseCancelled.
  virtual int run(int number, int request);
  // The event loop over the window opened for the controller (the current window when open()
  // was not called): every event goes to takeEvent until the window closes or a step answers
  // a level that ends the loop. A form first keeps its record as it is (to put it back when
  // the form is cancelled) and shows the request's text in zone 2 of the status bar. With
  // BATCHPROCESSING the request is completed at once instead (takeCompleted).
  virtual void ask();
  // Attaches the controller to the current window of the thread.
  virtual void open();
  // One event: takeWindowEvent (events of the window itself) or takeFieldEvent (events of a
  // control), then every component in the order added, until one answers a level.
  virtual int takeEvent();
  // OpenWindow puts the focus on FIRSTFIELD; CloseWindow goes to takeCloseEvent.
  virtual int takeWindowEvent();
  // Accepted goes to takeAccepted, NewSelection to takeNewSelection; the history key in a
  // history control puts back its field's last value.
  virtual int takeFieldEvent();
  // A button added with addItem(control, response) sets RESPONSE and closes the window; the
  // OK control completes the request (takeCompleted).
  virtual int takeAccepted();
  virtual int takeNewSelection();
  // The window is about to close. A form that did not complete its request saves the controls
  // into the record; when the user changed it and CANCELACTION is ActionConfirm (and the request
  // is an insert or a change), it asks whether to throw the changes away and stays open on No.
  // Otherwise it puts the record back as it was before the user's changes; RESPONSE is then
  // ResponseCancelled.
  virtual int takeCloseEvent();
  // Brings the components up to date (reset), puts the alert keys back and redraws.
  virtual void reset(bool force = false);
  // Saves the window's controls into their variables, then each component's.
  virtual void update();
  // Gives the history controls the history key and each component its alert keys.
  virtual void setAlerts();
  // Prepares the record for the request. Insert: a fresh record from the primary file manager
  // (blank, with the next auto numbers), then primeFields. Change and delete: the caller's
  // record, read again through the primary file's first unique key (when it has one) so that
  // it is the file's current record; when it can no longer be read, that is reported and
  // nothing more is to be done. View: the record as it stands. Answers LevelBenign to go on,
  // another level when nothing more is to be done (init then refuses the window).
  virtual int primeUpdate();
  // Gives the fields of a fresh record their first values; the library's step sets none.
  virtual void primeFields();
  // The OK control: saves the controls into the record and carries out the request through the
  // primary file manager (insert, change, or delete, which asks first under ActionConfirm); an
  // action of ActionNone, and any other request, writes nothing. When it succeeded the
  // history record takes the saved values, RESPONSE is ResponseCompleted (ResponseCancelled
  // when nothing was written) and the window closes. When the file manager refused or failed
  // (it has told the user why), the form stays open with what the user typed and the file is
  // as it was.
  virtual int takeCompleted();
  // Puts back the last saved value of the field of history control `control` and redraws it.
  virtual void restoreField(int control);
  // ToolbarHistory puts back the field of the control that has the focus.
  bool takeToolbar(int action) override;

  // ---- Set-up ----

  // Adds a component, driven after the components added before it. It must outlive the
  // controller's use of it (until kill).
  void addItem(WindowComponent& component);
  // Accepting `control` sets RESPONSE to `response` and closes the window.
  void addItem(int control, int response);
  // Attaches the toolbar: it becomes a component of the window, with the controller as its
  // target.
  void addToolbar(Toolbar& toolbar);
  // Makes `file` the form's primary file manager (PRIMARY).
  void addUpdateFile(FileManager& file) { PRIMARY = &file; }
  // The history record: the values the form saved last, which the history key puts back. The
  // caller keeps it (one per thread, say) for as long as the controller runs.
  void addHistoryFile(RecordSnapshot& history) { history_ = &history; }
  // Control `control` shows field `field` of the primary record (1-based; the numbers after
  // the record's last field name its memos, in order) and takes part in the history.
  void addHistoryField(int control, int field) { historyFields_[control] = field; }

  // ---- State ----

  // The window the controller runs; nullptr before open() (or ask()).
  window::Window* window() const { return window_; }
  // True after kill (and before the first init).
  bool dead() const { return dead_; }
  const std::vector<WindowComponent*>& components() const { return components_; }

 private:
  // The reporter of the form's messages: ERRORS, else the primary file manager's.
  ErrorReporter* reporter() const;

  window::Window* window_ = nullptr;
  bool dead_ = true;
  std::vector<WindowComponent*> components_;
  std::map<int, int> buttonActions_;  // control -> response
  RecordSnapshot* history_ = nullptr;
  std::map<int, int> historyFields_;  // control -> field
  RecordSnapshot original_;           // the record as the form started on it
};

}  // namespace classlib
