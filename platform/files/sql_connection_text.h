// Reading the entries of a connection text ("DRIVER=x;DATABASE=y;PWD=z") and keeping its
// password out of what is shown.
#pragma once

#include <string>
#include <string_view>

namespace files {

// The value of entry `key` ("PWD") of a connection text, letter case of the key ignored;
// empty when the text has no such entry.
std::string connectionEntry(std::string_view connection, std::string_view key);

// The password of a connection text: its PWD entry, else its PASSWORD entry.
std::string connectionPassword(std::string_view connection);

// `text` with every occurrence of `secret` masked.
std::string maskedSecret(std::string text, std::string_view secret);

}  // namespace files
