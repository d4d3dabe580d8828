#include "platform/files/cask_name.h"

#include "platform/runtime/case_fold.h"
#include "platform/runtime/paths.h"

namespace files {
namespace {

constexpr std::string_view kTableMark = "\\!";

bool hasExtension(std::string_view file) {
  const std::size_t slash = file.find_last_of("\\/");
  const std::string_view last = slash == std::string_view::npos ? file : file.substr(slash + 1);
  return last.find('.') != std::string_view::npos;
}

}  // namespace

bool namesTable(std::string_view name) { return name.find(kTableMark) != std::string_view::npos; }

CaskName parseCaskName(std::string_view name) {
  const std::size_t mark = name.find(kTableMark);
  std::string_view file = name.substr(0, mark);
  while (!file.empty() && file.back() == ' ') file.remove_suffix(1);
  CaskName parsed;
  parsed.file = runtime::toOsPath(file);
  if (!file.empty() && !hasExtension(file)) parsed.file += kCaskExtension;
  if (mark != std::string_view::npos) {
    std::string_view table = name.substr(mark + kTableMark.size());
    while (!table.empty() && table.back() == ' ') table.remove_suffix(1);
    parsed.table = runtime::foldCase(table);
  }
  return parsed;
}

}  // namespace files
