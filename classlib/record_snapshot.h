// A copy of a file's record buffer and memos, to put back later or to compare with: what a form
// had before the user changed it, the last values a form saved (its history), the record a list
// row was read from.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace files {
class FileDeclaration;
}

namespace classlib {

class RecordSnapshot {
 public:
  // Copies the record buffer and the memos of `file`.
  void take(const files::FileDeclaration& file);
  // Puts the copy back into `file`'s record buffer and memos. A snapshot of another
  // declaration (of another size) or an empty one changes nothing and answers false.
  bool restore(files::FileDeclaration& file) const;
  // True when `file`'s record buffer and memos equal the copy.
  bool same(const files::FileDeclaration& file) const;
  // Forgets the copy.
  void clear();
  bool empty() const { return record_.empty(); }

  const std::vector<std::byte>& record() const { return record_; }
  const std::vector<std::string>& memos() const { return memos_; }

 private:
  bool fits(const files::FileDeclaration& file) const;

  std::vector<std::byte> record_;
  std::vector<std::string> memos_;
};

}  // namespace classlib
