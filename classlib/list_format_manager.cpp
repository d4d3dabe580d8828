#include "classlib/list_format_manager.h"

#include <algorithm>
#include <cassert>
#include <filesystem>
#include <map>
#include <system_error>

#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/bound_field.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/ini_file.h"
#include "platform/runtime/message.h"
#include "platform/runtime/paths.h"
#include "platform/runtime/text.h"
#include "platform/window/engine.h"
#include "platform/window/list_format.h"
#include "upkeep/file_open.h"

namespace classlib {
namespace {

constexpr int kShareMode = 0x42;
constexpr int kRebuildMode = 0x22;
constexpr int kTries = 2;
constexpr int kFirstKey = 1;

// How the managers of one thread share one list-format file.
struct StoreUse {
  int managers = 0;     // set up and not killed
  int users = 0;        // those that have it open
  bool opened = false;  // opened by the managers (not by someone else before them)
  bool failed = false;  // reported: the managers work on without it
};

std::map<const files::FileDeclaration*, StoreUse>& storeUses() {
  thread_local std::map<const files::FileDeclaration*, StoreUse> uses;
  return uses;
}

void setField(files::FileDeclaration& file, int field, const runtime::Value& value) {
  if (auto v = runtime::boundField(*file.layout().field(field), file.record().data()))
    v->set(value);
}

runtime::Value fieldValue(files::FileDeclaration& file, int field) {
  auto v = runtime::boundField(*file.layout().field(field), file.record().data());
  return v ? v->get() : runtime::Value::text({});
}

std::string fieldText(files::FileDeclaration& file, int field) {
  return runtime::CLIP(fieldValue(file, field).toText());
}

// The box that tells the user the file cannot be used, with the error of the moment.
void reportStoreError() {
  std::string text(ListFormatManager::kErrorText);
  text.replace(text.find("%Error%"), 7, runtime::ERROR());
  runtime::MESSAGE(text, ListFormatManager::kTitle, runtime::kIconExclamation);
}

// Makes the folders a file's name has in front of it.
void makeFolders(const std::string& name) {
  const std::filesystem::path folder = std::filesystem::path(runtime::toOsPath(name)).parent_path();
  std::error_code ignored;
  if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
}

// Opens the file the way the manager's policy says. Answers whether it is open.
bool openStore(files::FileDeclaration& store, bool& openedHere) {
  for (int attempt = 1; attempt <= kTries; ++attempt) {
    upkeep::ds_FileOpen(store, kShareMode);
    const int code = runtime::ERRORCODE();
    if (code == 0 || code == runtime::FileAlreadyOpenErr) {
      openedHere = code == 0;
      return true;
    }
    if (attempt == kTries) break;
    if (code == runtime::KeyFileRebuildErr) {
      files::CLOSE(store);
      upkeep::ds_FileOpen(store, kRebuildMode);
      if (files::STATUS(store) == 0) break;
      files::BUILD(store);
      const int built = runtime::ERRORCODE();
      if (built != 0) {
        files::CLOSE(store);
        runtime::setError(built);
        break;
      }
      files::CLOSE(store);
    } else if (code == runtime::FileNotFoundErr || code == runtime::PathNotFoundErr) {
      makeFolders(store.currentName());
      files::CREATE(store);
      if (runtime::ERRORCODE() != 0) break;
    } else {
      break;
    }
  }
  reportStoreError();
  return false;
}

}  // namespace

ListFormatManager::~ListFormatManager() { releaseStore(); }

void ListFormatManager::init(std::string_view procedure, std::string_view application, int list,
                             bool restore, bool save, bool popup) {
  assert(store_ && "the list-format file is given before init");
  assert(store_->layout().fieldCount() == FormatVarLine && store_->keyCount() >= 1);
  if (!killed_) kill();
  procedure_ = procedure;
  application_ = application;
  list_ = list;
  restore_ = restore;
  save_ = save;
  popup_ = popup;
  name_ = std::string(kSortOrderName) + "1";
  declared_ = window::getProperty(list_, window::PropFormat);
  killed_ = false;
  StoreUse& use = storeUses()[store_];
  if (use.managers++ == 0) use.failed = false;  // a new window tries the file again
}

void ListFormatManager::options(std::string_view settingsFile, int user, bool rememberName,
                                int minimumWidth) {
  settings_ = settingsFile;
  user_ = user;
  rememberName_ = rememberName;
  minimumWidth_ = minimumWidth;
  if (rememberName_) name_ = runtime::GETINI(procedure_, settingsEntry(), name_, settings_);
  int next = 0;
  if (restore_ && useStore() && find(name_, next))
    applyFormat(fieldValue(*store_, FormatText).toText());
}

std::string ListFormatManager::settingsEntry() const {
  return "ListFormat" + std::to_string(list_);
}

bool ListFormatManager::storeUsable() const {
  const auto it = storeUses().find(store_);
  return store_ && (it == storeUses().end() || !it->second.failed);
}

bool ListFormatManager::useStore() {
  if (using_) return true;
  if (killed_ || !storeUsable()) return false;
  StoreUse& use = storeUses()[store_];
  if (use.users == 0) {
    bool openedHere = false;
    if (!openStore(*store_, openedHere)) {
      use.failed = true;
      return false;
    }
    use.opened = openedHere;
  }
  ++use.users;
  using_ = true;
  return true;
}

void ListFormatManager::releaseStore() {
  if (!store_) return;
  auto it = storeUses().find(store_);
  if (it == storeUses().end()) return;
  StoreUse& use = it->second;
  if (using_ && --use.users == 0 && use.opened) {
    files::CLOSE(*store_);
    use.opened = false;
  }
  using_ = false;
  if (!killed_ && --use.managers == 0 && use.users == 0) storeUses().erase(it);
  killed_ = true;
}

bool ListFormatManager::find(std::string_view name, int& next) {
  files::CLEAR(*store_);
  setField(*store_, FormatApplication, runtime::Value::text(application_));
  setField(*store_, FormatProcedure, runtime::Value::text(procedure_));
  setField(*store_, FormatUser, runtime::Value::number(user_));
  setField(*store_, FormatControl, runtime::Value::number(list_));
  files::SET(*store_, *store_->key(kFirstKey), files::SetFrom::RecordBuffer);
  next = 1;
  for (files::NEXT(*store_); runtime::ERRORCODE() == 0; files::NEXT(*store_)) {
    const bool ours =
        runtime::compareTextNoCase(fieldText(*store_, FormatApplication), application_) == 0 &&
        runtime::compareTextNoCase(fieldText(*store_, FormatProcedure), procedure_) == 0 &&
        fieldValue(*store_, FormatUser).toNumber() == user_ &&
        fieldValue(*store_, FormatControl).toNumber() == list_;
    if (!ours) break;
    next = static_cast<int>(fieldValue(*store_, FormatNumber).toNumber()) + 1;
    if (runtime::compareTextNoCase(fieldText(*store_, FormatName), name) == 0) return true;
  }
  return false;
}

bool ListFormatManager::applyFormat(std::string_view text) {
  std::optional<window::ListFormat> format = window::parseListFormat(runtime::CLIP(text));
  if (!format) return false;
  for (window::ListColumn& c : format->columns) c.width = std::max(c.width, minimumWidth_);
  return window::setProperty(list_, window::PropFormat, format->text());
}

bool ListFormatManager::saveFormat() {
  // Only while the list's window is the current one: never another window's control.
  if (window::getProperty(list_, window::PropType) !=
      std::to_string(static_cast<int>(window::ControlType::List))) {
    return false;
  }
  if (!useStore()) return false;
  const std::string format = window::getProperty(list_, window::PropFormat);
  int next = 0;
  const bool found = find(name_, next);
  if (!found) {
    files::CLEAR(*store_);
    setField(*store_, FormatApplication, runtime::Value::text(application_));
    setField(*store_, FormatProcedure, runtime::Value::text(procedure_));
    setField(*store_, FormatUser, runtime::Value::number(user_));
    setField(*store_, FormatControl, runtime::Value::number(list_));
    setField(*store_, FormatNumber, runtime::Value::number(next));
    setField(*store_, FormatName, runtime::Value::text(name_));
  }
  setField(*store_, FormatText, runtime::Value::text(format));
  found ? files::PUT(*store_) : files::ADD(*store_);
  if (runtime::ERRORCODE() == 0) return true;
  reportStoreError();
  storeUses()[store_].failed = true;
  return false;
}

bool ListFormatManager::restoreDefault() {
  window::setProperty(list_, window::PropFormat, declared_);
  int next = 0;
  if (!useStore() || !find(name_, next)) return false;
  files::DELETE(*store_);
  return runtime::ERRORCODE() == 0;
}

void ListFormatManager::changeSort(std::string_view name) {
  if (killed_ || runtime::compareTextNoCase(name, name_) == 0) return;
  if (save_) saveFormat();
  name_ = name;
  int next = 0;
  if (useStore() && find(name_, next)) applyFormat(fieldValue(*store_, FormatText).toText());
}

std::string ListFormatManager::popupText() {
  if (!popup_ || killed_) return {};
  const std::string off = storeUsable() ? "" : "~";
  return off + std::string(kSaveEntry) + "|" + off + std::string(kRestoreEntry);
}

void ListFormatManager::setItemRange(int first, int last) {
  firstItem_ = first;
  lastItem_ = last;
}

bool ListFormatManager::takePopup(int item) {
  if (firstItem_ == 0 || item < firstItem_ || item > lastItem_) return false;
  item == firstItem_ ? saveFormat() : restoreDefault();
  return true;
}

void ListFormatManager::kill() {
  if (killed_) return;
  if (save_) saveFormat();
  if (rememberName_ && !settings_.empty()) {
    runtime::PUTINI(procedure_, settingsEntry(), name_, settings_);
  }
  releaseStore();
}

}  // namespace classlib
