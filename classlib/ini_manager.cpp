#include "classlib/ini_manager.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>
#include <limits>
#include <utility>

#include "platform/runtime/ini_file.h"
#include "platform/runtime/number_text.h"
#include "platform/runtime/text.h"

namespace classlib {
namespace {

// The whole number in `text`; nothing when it holds something else or is out of range.
std::optional<int> wholeNumber(std::string_view text) {
  if (!runtime::NUMERIC(text)) return std::nullopt;
  const double value = runtime::textToReal(text);
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max() ||
      value != std::trunc(value)) {
    return std::nullopt;
  }
  return static_cast<int>(value);
}

std::string itemEntry(std::string_view name, std::size_t number) {
  return std::string(name) + runtime::longToText(static_cast<long long>(number));
}

std::string countEntry(std::string_view name) { return std::string(name) + "Count"; }

// True when `entry` is the item entry of list `name` with a number above `count`.
bool itemBeyond(std::string_view entry, std::string_view name, std::size_t count) {
  if (entry.size() <= name.size() || !runtime::equalTextNoCase(entry.substr(0, name.size()), name))
    return false;
  const std::optional<int> number = wholeNumber(entry.substr(name.size()));
  return number && *number > 0 && std::cmp_greater(*number, count) &&
         itemEntry(name, static_cast<std::size_t>(*number)).size() == entry.size();
}

}  // namespace

bool IniManager::init(std::string_view fileName) {
  runtime::CriticalSectionGuard guard(lock_);
  if (fileName.empty() || fileName.size() > kMaxFileNameLength) return false;
  fileName_ = fileName;
  initialised_ = true;
  sectors_.clear();
  sectorKeys_.clear();
  for (const std::string& section : fetchListLocked(kSectorsSection, kSectorList)) {
    rememberSection(section);
  }
  return true;
}

bool IniManager::initialised() const {
  runtime::CriticalSectionGuard guard(lock_);
  return initialised_;
}

std::string IniManager::fileName() const {
  runtime::CriticalSectionGuard guard(lock_);
  return fileName_;
}

std::string IniManager::fetch(std::string_view section, std::string_view entry,
                              std::string_view defaultValue) const {
  runtime::CriticalSectionGuard guard(lock_);
  return fetchLocked(section, entry, defaultValue);
}

bool IniManager::update(std::string_view section, std::string_view entry, std::string_view value) {
  runtime::CriticalSectionGuard guard(lock_);
  return updateLocked(section, entry, value);
}

std::optional<WindowPosition> IniManager::fetchPosition(std::string_view procedure) const {
  runtime::CriticalSectionGuard guard(lock_);
  const std::optional<int> x = wholeNumber(fetchLocked(procedure, kXEntry, {}));
  const std::optional<int> y = wholeNumber(fetchLocked(procedure, kYEntry, {}));
  const std::optional<int> width = wholeNumber(fetchLocked(procedure, kWidthEntry, {}));
  const std::optional<int> height = wholeNumber(fetchLocked(procedure, kHeightEntry, {}));
  if (!x || !y || !width || !height) return std::nullopt;
  return WindowPosition{*x, *y, *width, *height};
}

bool IniManager::storePosition(std::string_view procedure, const WindowPosition& position) {
  runtime::CriticalSectionGuard guard(lock_);
  return updateLocked(procedure, kXEntry, runtime::longToText(position.x)) &&
         updateLocked(procedure, kYEntry, runtime::longToText(position.y)) &&
         updateLocked(procedure, kWidthEntry, runtime::longToText(position.width)) &&
         updateLocked(procedure, kHeightEntry, runtime::longToText(position.height));
}

int IniManager::fetchSortOrder(std::string_view procedure, int defaultOrder,
                               std::string_view entry) const {
  runtime::CriticalSectionGuard guard(lock_);
  return wholeNumber(fetchLocked(procedure, entry, {})).value_or(defaultOrder);
}

bool IniManager::storeSortOrder(std::string_view procedure, int order, std::string_view entry) {
  runtime::CriticalSectionGuard guard(lock_);
  return updateLocked(procedure, entry, runtime::longToText(order));
}

std::vector<std::string> IniManager::fetchList(std::string_view section,
                                               std::string_view name) const {
  runtime::CriticalSectionGuard guard(lock_);
  return fetchListLocked(section, name);
}

bool IniManager::storeList(std::string_view section, std::string_view name,
                           const std::vector<std::string>& items) {
  runtime::CriticalSectionGuard guard(lock_);
  return storeListLocked(section, name, items);
}

std::vector<std::string> IniManager::sectors() const {
  runtime::CriticalSectionGuard guard(lock_);
  return sectors_;
}

bool IniManager::kill() {
  runtime::CriticalSectionGuard guard(lock_);
  if (!initialised_) return true;
  const bool written = storeListLocked(kSectorsSection, kSectorList, sectors_);
  initialised_ = false;
  fileName_.clear();
  sectors_.clear();
  sectorKeys_.clear();
  return written;
}

std::string IniManager::fetchLocked(std::string_view section, std::string_view entry,
                                    std::string_view defaultValue) const {
  if (!initialised_) return std::string(defaultValue);
  return runtime::GETINI(section, entry, defaultValue, fileName_);
}

bool IniManager::updateLocked(std::string_view section, std::string_view entry,
                              std::string_view value) {
  if (!initialised_ || !runtime::PUTINI(section, entry, value, fileName_)) return false;
  rememberSection(section);
  return true;
}

std::vector<std::string> IniManager::fetchListLocked(std::string_view section,
                                                     std::string_view name) const {
  std::vector<std::string> items;
  const int count = wholeNumber(fetchLocked(section, countEntry(name), {})).value_or(0);
  if (count <= 0) return items;
  // The count comes from the file: the list has no more items than its section has entries.
  const auto held = static_cast<int>(
      std::min<std::size_t>(runtime::iniEntries(section, fileName_).size(), INT_MAX));
  for (int number = 1; number <= std::min(count, held); ++number) {
    items.push_back(fetchLocked(section, itemEntry(name, static_cast<std::size_t>(number)), {}));
  }
  return items;
}

bool IniManager::storeListLocked(std::string_view section, std::string_view name,
                                 const std::vector<std::string>& items) {
  if (!initialised_) return false;
  const int before = wholeNumber(fetchLocked(section, countEntry(name), {})).value_or(0);
  // An unchanged list is not written again: each item written reads and replaces the file.
  if (std::cmp_equal(before, items.size()) && fetchListLocked(section, name) == items) return true;
  if (!updateLocked(section, countEntry(name), runtime::longToText(std::ssize(items)))) {
    return false;
  }
  for (std::size_t number = 1; number <= items.size(); ++number) {
    if (!updateLocked(section, itemEntry(name, number), items[number - 1])) return false;
  }
  // Items of a longer list that was stored before; only entries the file holds are looked at,
  // whatever count it gave.
  for (const std::string& entry : runtime::iniEntries(section, fileName_)) {
    if (!itemBeyond(entry, name, items.size())) continue;
    if (!runtime::PUTINI(section, entry, std::nullopt, fileName_)) return false;
  }
  return true;
}

void IniManager::rememberSection(std::string_view section) {
  if (runtime::equalTextNoCase(section, kSectorsSection)) return;
  // A set of the names as equalTextNoCase compares them keeps a file of many sections linear.
  if (sectorKeys_.insert(runtime::UPPER(runtime::CLIP(section))).second) {
    sectors_.emplace_back(section);
  }
}

}  // namespace classlib
