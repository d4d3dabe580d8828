// The INI manager: the program's one settings file, in which each window keeps its position and
// size, its list settings and its sort orders in a section named after its procedure. The
// manager remembers every section it has stored into ("sectors") and writes that list back to
// the file's section "Sectors" when it is killed. The program keeps one instance for the whole
// run; every operation locks the manager's state.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/runtime/thread.h"

namespace classlib {

// A window's place and size, as stored under its procedure's name.
struct WindowPosition {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  friend bool operator==(const WindowPosition&, const WindowPosition&) = default;
};

class IniManager {
 public:
  // The longest settings-file name the manager accepts, in bytes.
  static constexpr std::size_t kMaxFileNameLength = 260;
  // The section that holds the list of known sections, and the name of its list.
  static constexpr std::string_view kSectorsSection = "Sectors";
  static constexpr std::string_view kSectorList = "Sector";
  // The entries of a window position and the default entry of a sort order.
  static constexpr std::string_view kXEntry = "XPos";
  static constexpr std::string_view kYEntry = "YPos";
  static constexpr std::string_view kWidthEntry = "Width";
  static constexpr std::string_view kHeightEntry = "Height";
  static constexpr std::string_view kSortOrderEntry = "SortOrder";

  IniManager() = default;
  IniManager(const IniManager&) = delete;
  IniManager& operator=(const IniManager&) = delete;

  // Starts the manager on `fileName` (relative names are taken from the current directory) and
  // reads the list of known sections stored there. Returns false, leaving the manager
  // uninitialised, when the name is empty or longer than kMaxFileNameLength bytes.
  bool init(std::string_view fileName);
  // True between init and kill. An uninitialised manager answers defaults and stores nothing (it
  // never falls back on the default profile).
  bool initialised() const;
  // The settings file's name; empty when uninitialised.
  std::string fileName() const;

  // The value of `entry` in `section`, or `defaultValue` when it is missing.
  std::string fetch(std::string_view section, std::string_view entry,
                    std::string_view defaultValue = {}) const;
  // Stores `value` as `entry` of `section` and records the section as known. Returns false when
  // nothing was written (uninitialised, or PUTINI failed; its error state stays set).
  bool update(std::string_view section, std::string_view entry, std::string_view value);

  // The position stored under `procedure`; nothing unless all four entries hold numbers.
  std::optional<WindowPosition> fetchPosition(std::string_view procedure) const;
  // Stores the four entries of `position` under `procedure`. Returns false when a write failed.
  bool storePosition(std::string_view procedure, const WindowPosition& position);

  // The sort order stored as `entry` under `procedure`, or `defaultOrder` when there is none or
  // it is not a number.
  int fetchSortOrder(std::string_view procedure, int defaultOrder,
                     std::string_view entry = kSortOrderEntry) const;
  // Stores `order` as `entry` under `procedure`. Returns false when the write failed.
  bool storeSortOrder(std::string_view procedure, int order,
                      std::string_view entry = kSortOrderEntry);

  // The list `name` of `section`: entries name + "Count" and name + "1" ... name + count.
  // Missing items read as empty texts; a missing or non-numeric count gives an empty list.
  std::vector<std::string> fetchList(std::string_view section, std::string_view name) const;
  // Stores `items` as the list `name` of `section`, removing the items of a longer list stored
  // before. Returns false when a write failed.
  bool storeList(std::string_view section, std::string_view name,
                 const std::vector<std::string>& items);

  // The known sections: those listed in "Sectors" when the manager started, then those stored
  // into since, each once (compared without regard to letter case), in that order.
  std::vector<std::string> sectors() const;

  // Writes the known sections back as the list "Sector" of section "Sectors" and ends the
  // manager. Returns false when the write failed (the manager ends all the same); does nothing
  // and answers true when the manager is not initialised.
  bool kill();

 private:
  std::string fetchLocked(std::string_view section, std::string_view entry,
                          std::string_view defaultValue) const;
  bool updateLocked(std::string_view section, std::string_view entry, std::string_view value);
  std::vector<std::string> fetchListLocked(std::string_view section, std::string_view name) const;
  bool storeListLocked(std::string_view section, std::string_view name,
                       const std::vector<std::string>& items);
  void rememberSection(std::string_view section);

  mutable runtime::CriticalSection lock_;
  std::string fileName_;
  bool initialised_ = false;
  std::vector<std::string> sectors_;
  std::unordered_set<std::string> sectorKeys_;  // UPPER(CLIP(name)) of every entry of sectors_
};

}  // namespace classlib
