#include "platform/files/sql_connection_text.h"

#include <algorithm>

#include "platform/runtime/case_fold.h"

namespace files {

std::string connectionEntry(std::string_view connection, std::string_view key) {
  std::size_t at = 0;
  while (at < connection.size()) {
    const std::size_t equals = connection.find('=', at);
    if (equals == std::string_view::npos) break;
    const std::string_view name = connection.substr(at, equals - at);
    // The value runs to the next ";", or is braced ("{a;b}", a "}" inside doubled).
    std::string value;
    at = equals + 1;
    if (at < connection.size() && connection[at] == '{') {
      for (++at; at < connection.size(); ++at) {
        if (connection[at] == '}') {
          if (at + 1 < connection.size() && connection[at + 1] == '}') {
            ++at;
          } else {
            ++at;
            break;
          }
        }
        value += connection[at];
      }
    }
    const std::size_t end = std::min(connection.find(';', at), connection.size());
    value += connection.substr(at, end - at);
    if (runtime::foldCase(name) == runtime::foldCase(key)) return value;
    at = end + 1;
  }
  return {};
}

std::string connectionPassword(std::string_view connection) {
  std::string password = connectionEntry(connection, "PWD");
  return password.empty() ? connectionEntry(connection, "PASSWORD") : password;
}

std::string maskedSecret(std::string text, std::string_view secret) {
  if (secret.empty()) return text;
  for (std::size_t at = text.find(secret); at != std::string::npos;
       at = text.find(secret, at + 16)) {
    text.replace(at, secret.size(), "****************");
  }
  return text;
}

}  // namespace files
