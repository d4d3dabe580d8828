// The list format manager: the column layouts (list formats) a user gave a list, kept in the
// list-format file ("Formats.FDB") under the application, procedure, user, list control and a
// format name, so that they survive the program's end. A list has one format per name;
// windows name them after their sort orders ("SortOrder" and the order's number) and switch
// when the order changes. Its popup entries save the list's format, or put back the one the
// list was declared with.
//
// The file is opened through ds_FileOpen with 42h. Keys that must be rebuilt (46) are rebuilt
// under 22h; a missing file or folder (2, 3) is created; then it is opened once more. When the
// file still cannot be used, the manager says so once in its own box ("An error occured:
// %Error%.", "List Format Manager") and works on without it; the list keeps its own formats.
#pragma once

#include <string>
#include <string_view>

#include "classlib/popup_manager.h"

namespace files {
class FileDeclaration;
}

namespace classlib {

// The fields of the list-format record, by number; its first key is made of the first five.
enum ListFormatField : int {
  FormatApplication = 1,  // STRING(30)
  FormatProcedure = 2,    // STRING(30)
  FormatUser = 3,         // SHORT
  FormatControl = 4,      // SHORT
  FormatNumber = 5,       // SHORT
  FormatName = 6,         // STRING(30)
  FormatFlag = 7,         // BYTE
  FormatText = 8,         // STRING(5120): the list format
  FormatVarLine = 9,      // STRING(2048)
};

class ListFormatManager : public PopupSource {
 public:
  static constexpr std::string_view kTitle = "List Format Manager";
  static constexpr std::string_view kErrorText = "An error occured: %Error%.";
  static constexpr std::string_view kSortOrderName = "SortOrder";
  static constexpr std::string_view kSaveEntry = "Save List Format";
  static constexpr std::string_view kRestoreEntry = "Restore Default Format";

  ListFormatManager() = default;
  ~ListFormatManager() override;
  ListFormatManager(const ListFormatManager&) = delete;
  ListFormatManager& operator=(const ListFormatManager&) = delete;

  // The list-format file (the calling thread's instance of its declaration); its record must
  // have the fields above. Give it before init.
  void setStore(files::FileDeclaration& store) { store_ = &store; }

  // ---- Virtual operations, in slot order ----

  // Sets the manager up for list control `list` of the current window, under `procedure` and
  // `application`. `restore`: the list takes its kept format when options() is called; `save`:
  // the list's format is kept when the manager is killed and when the format name changes;
  // `popup`: the popup entries are offered. The format name is "SortOrder1".
  virtual void init(std::string_view procedure, std::string_view application, int list,
                    bool restore, bool save, bool popup);
  // Completes the set-up: `settingsFile` the INI file where, with `rememberName`, the name of
  // the format in use is kept for the next time; `user` the user the formats belong to;
  // `minimumWidth` the narrowest a kept column may come back (0: as kept). Then, with the
  // restore flag, the list takes the format kept under the name in use.
  virtual void options(std::string_view settingsFile, int user, bool rememberName,
                       int minimumWidth);
  // The popup entries: "Save List Format|Restore Default Format" (disabled when the file
  // cannot be used); empty without the popup flag.
  std::string popupText() override;
  void setItemRange(int first, int last) override;
  // Saves or restores for its own entries; answers whether `item` was one.
  bool takePopup(int item) override;
  // Switches to format `name`: the format in use is kept first (save flag), then the list
  // takes the one kept under `name`, if any.
  virtual void changeSort(std::string_view name);
  // Keeps the list's format under the name in use. Answers whether it was written.
  virtual bool saveFormat();
  // Puts back the format the list was declared with and forgets the kept one.
  virtual bool restoreDefault();
  // Keeps the format (save flag) and the name (rememberName), and lets go of the file.
  virtual void kill();

  // ---- State ----

  const std::string& formatName() const { return name_; }
  // False once the file has failed the manager.
  bool storeUsable() const;

 private:
  bool useStore();
  void releaseStore();
  // Puts the record's key values for the name in use into the buffer and looks for it: answers
  // true with the record current when found; `next` gets the number a new one would take.
  bool find(std::string_view name, int& next);
  bool applyFormat(std::string_view text);
  std::string settingsEntry() const;

  files::FileDeclaration* store_ = nullptr;
  std::string procedure_;
  std::string application_;
  int list_ = 0;
  bool restore_ = false;
  bool save_ = false;
  bool popup_ = false;
  std::string settings_;
  int user_ = 0;
  bool rememberName_ = false;
  int minimumWidth_ = 0;
  std::string name_;
  std::string declared_;  // the list's format when the manager was set up
  bool using_ = false;    // counted among the file's users
  bool killed_ = true;
  int firstItem_ = 0;
  int lastItem_ = 0;
};

}  // namespace classlib
