#include "classlib/record_snapshot.h"

#include <algorithm>
#include <cstring>

#include "platform/files/file_declaration.h"

namespace classlib {

void RecordSnapshot::take(const files::FileDeclaration& file) {
  record_.assign(file.record().begin(), file.record().end());
  memos_.clear();
  for (const files::Memo& memo : file.memos()) memos_.emplace_back(memo.content());
}

bool RecordSnapshot::fits(const files::FileDeclaration& file) const {
  return !record_.empty() && record_.size() == file.record().size() &&
         memos_.size() == file.memoCount();
}

bool RecordSnapshot::restore(files::FileDeclaration& file) const {
  if (!fits(file)) return false;
  std::memcpy(file.record().data(), record_.data(), record_.size());
  for (std::size_t i = 0; i < memos_.size(); ++i) file.memos()[i].setBytes(memos_[i]);
  return true;
}

bool RecordSnapshot::same(const files::FileDeclaration& file) const {
  if (!fits(file)) return false;
  if (!std::equal(record_.begin(), record_.end(), file.record().begin())) return false;
  for (std::size_t i = 0; i < memos_.size(); ++i) {
    if (file.memos()[i].content() != memos_[i]) return false;
  }
  return true;
}

void RecordSnapshot::clear() {
  record_.clear();
  memos_.clear();
}

}  // namespace classlib
