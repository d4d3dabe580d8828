// Edit in place: a browse's rows edited in the list itself. Insert adds a row below the
// selected one and edits it, change edits the selected row, each over the row's columns one at
// a time, and the row is stored through the list's file manager when the user finishes it;
// delete removes the selected row's record. Escape puts everything back.
//
// While a row is edited, Enter and Tab go to the next column (on the last one they finish the
// row), Shift+Tab to the one before; leaving the row for another control finishes it too.
// What Up and Down do is the browse's ARROWACTION.
#pragma once

#include <vector>

#include "classlib/record_snapshot.h"

namespace classlib {

class BrowseManager;

// ARROWACTION bits.
enum EipArrow : int {
  EipArrowSaves = 0x08,    // Up and Down finish the row
  EipArrowEditsOn = 0x10,  // and then edit the row above or below
};

// DELETEACTION values.
enum EipDelete : int {
  EipDeleteAtOnce = 0,
  EipDeleteAsks = 1,  // the file manager asks before it deletes
};

class EditInPlace {
 public:
  virtual ~EditInPlace() = default;

  // Works on `browse`'s list and file.
  virtual void init(BrowseManager& browse);
  // Insert: a fresh record (blank, next auto numbers) in a new row, edited; change: the
  // selected row edited; delete: the selected row's record deleted (asking first under
  // EipDeleteAsks) and the list rebuilt. Answers false when there was nothing to do (no row to
  // change or delete, or the fresh record could not be made).
  virtual bool ask(int request);
  // While a row is edited: the keys of the editor, its leaving, the window closing. Answers
  // true when it took the event.
  virtual bool takeEvent();
  // Finishes the row: the editor's text into the record, then insert or change through the
  // file manager. Stored: editing ends and the list shows the record. Refused or failed (the
  // file manager has told the user): editing goes on with what the user typed. Answers
  // whether it was stored.
  virtual bool takeCompleted();
  // Ends editing without storing: the record buffer as it was and the list rebuilt, with the
  // row selected before editing began selected again.
  virtual void takeCancelled();
  // Ends editing (without storing) for good.
  virtual void kill();

  bool active() const { return editor_ != 0; }
  int request() const { return request_; }
  // The row and the column (1-based) being edited, and the editor's control number.
  int row() const { return row_; }
  int column() const { return column_; }
  int editor() const { return editor_; }
  BrowseManager* browse() const { return browse_; }

 private:
  // The list columns that show a field of the file, in order.
  std::vector<int> editableColumns() const;
  // Puts the editor over column `column` of the edited row.
  void edit(int column);
  void endEditing();
  // Moves to the column `step` away; past the last one the row is finished.
  void move(int step);

  BrowseManager* browse_ = nullptr;
  int request_ = 0;
  int row_ = 0;
  int column_ = 0;
  int editor_ = 0;
  RecordSnapshot before_;      // the record buffer before editing began
  bool backToBuffer_ = false;  // cancelling selects before_'s record again (an insert's row
                               // stood below it)
};

}  // namespace classlib
