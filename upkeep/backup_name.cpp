#include "upkeep/backup_name.h"

#include <algorithm>
#include <cstdio>

#include "platform/runtime/text.h"
#include "upkeep/file_copy.h"

namespace upkeep {
namespace {

constexpr std::size_t kKeptCharacters = 5;

std::string digits(std::int32_t n, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", width, static_cast<int>(n));
  return text;
}

// The position of the last folder separator before `end`, npos when none.
std::size_t lastSeparator(std::string_view name, std::size_t end) {
  return name.substr(0, end).find_last_of("\\/");
}

// `name` with `numbered` where the file's own name starts: after its first five characters
// when `cutOwnName`, in place of it otherwise; a table's "\!" part follows.
std::string numberedName(std::string_view name, std::string_view numbered, bool cutOwnName) {
  const std::size_t table = name.find("\\!");
  if (table == std::string_view::npos) {
    const std::size_t slash = lastSeparator(name, name.size());
    const std::size_t start = slash == std::string_view::npos ? 0 : slash + 1;
    if (!cutOwnName) return std::string(name.substr(0, start)) + std::string(numbered);
    return std::string(name.substr(0, start + kKeptCharacters)) + std::string(numbered);
  }
  std::size_t q = table;
  if (const std::size_t dot = name.find('.'); dot != std::string_view::npos && dot < q) q = dot;
  const std::size_t p = lastSeparator(name, q);
  const std::size_t start = p == std::string_view::npos ? 0 : p + 1;
  const std::string rest(name.substr(q));
  if (!cutOwnName) return std::string(name.substr(0, start)) + std::string(numbered) + rest;
  if (q - start < kKeptCharacters)
    return std::string(name.substr(0, q)) + std::string(numbered) + rest;
  return std::string(name.substr(0, start + kKeptCharacters)) + std::string(numbered) + rest;
}

}  // namespace

std::string backupName(std::int32_t n, const BackupNaming& naming) {
  const std::string name = runtime::CLIP(naming.inFileName);
  if (!naming.backupOption) {
    return (naming.lastFailedWith3 ? std::string() : TempDirectory()) + "dstmp" + digits(n, 3);
  }
  if (runtime::UPPER(runtime::CLIP(naming.driverCode)) != "BTR") {
    return numberedName(name, digits(n, 3), true);
  }
  const std::string prefix = runtime::CLIP(naming.prefix);
  if (prefix.empty() || prefix.size() > 4) return {};
  const int width = static_cast<int>(kKeptCharacters - std::max<std::size_t>(prefix.size(), 2));
  if (prefix.size() == 3 && n > 99) return {};
  if (prefix.size() == 4 && n > 9) return {};
  return numberedName(name, prefix + digits(n, width), false);
}

}  // namespace upkeep
