#include "platform/os/mime_types.h"

#include <fnmatch.h>

#include <cstdlib>
#include <sstream>
#include <vector>

#include "platform/os/xdg_dirs.h"
#include "platform/runtime/case_fold.h"
#include "platform/runtime/whole_file.h"

namespace os {
namespace {

// Calls `take` with each line of `text` that is neither blank nor a "#" comment.
template <typename Take>
void forEachLine(std::string_view text, Take take) {
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty() && line[0] != '#') take(line);
  }
}

std::vector<std::string_view> fields(std::string_view line, char separator) {
  std::vector<std::string_view> result;
  while (true) {
    const auto at = line.find(separator);
    result.push_back(line.substr(0, at));
    if (at == std::string_view::npos) return result;
    line = line.substr(at + 1);
  }
}

std::optional<std::string> fileText(const std::string& path) {
  std::string content;
  if (runtime::readWholeFile(path, content) != 0) return std::nullopt;
  return content;
}

}  // namespace

std::optional<std::string> mimeTypeFromGlobs2(std::string_view globs2, std::string_view extension) {
  const std::string name(extension);
  std::optional<std::string> best;
  int bestWeight = -1;
  std::size_t bestLength = 0;
  forEachLine(globs2, [&](std::string_view line) {
    const std::vector<std::string_view> parts = fields(line, ':');
    if (parts.size() < 3 || parts[1].empty()) return;
    const int weight = std::atoi(std::string(parts[0]).c_str());
    const std::string pattern(parts[2]);
    const bool caseSensitive = parts.size() > 3 && parts[3].find("cs") != std::string_view::npos;
    if (fnmatch(pattern.c_str(), name.c_str(), caseSensitive ? 0 : FNM_CASEFOLD) != 0) return;
    if (weight > bestWeight || (weight == bestWeight && pattern.size() > bestLength)) {
      best = std::string(parts[1]);
      bestWeight = weight;
      bestLength = pattern.size();
    }
  });
  return best;
}

std::optional<std::string> mimeTypeFromMimeTypes(std::string_view mimeTypes,
                                                 std::string_view extension) {
  if (extension.empty() || extension[0] != '.') return std::nullopt;
  const std::string wanted = runtime::foldCase(extension.substr(1));
  std::optional<std::string> found;
  forEachLine(mimeTypes, [&](std::string_view line) {
    if (found) return;
    std::istringstream words{std::string(line)};
    std::string type, word;
    words >> type;
    while (words >> word) {
      if (runtime::foldCase(word) == wanted) found = type;
    }
  });
  return found;
}

std::optional<std::string> mimeTypeOfExtension(std::string_view extension) {
  std::vector<std::string> folders{dataHome()};
  for (const std::string& folder : dataDirs()) folders.push_back(folder);
  for (const std::string& folder : folders) {
    if (const auto globs2 = fileText(folder + "/mime/globs2")) {
      if (auto type = mimeTypeFromGlobs2(*globs2, extension)) return type;
    }
  }
  if (const auto mimeTypes = fileText("/etc/mime.types")) {
    return mimeTypeFromMimeTypes(*mimeTypes, extension);
  }
  return std::nullopt;
}

}  // namespace os
