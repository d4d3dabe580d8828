// The handler look-ups that programs used to make in the registry's classes root, answered from
// a handler settings file first and then from the desktop's MIME data.
//
// The settings file is $GAME_DOCK_HANDLERS when set, else $XDG_CONFIG_HOME/game_dock/handlers.ini.
// It is a key file (key_file.h) whose group names are the key texts, compared without regard to
// letter case, and whose entry "Default" is the key's value:
//     [.htm]
//     Default=text/html
//     [text/html\shell\open\command]
//     Default=/usr/bin/browser %u
// A key that has a Default entry there is answered by it alone (an empty one answers "not
// found"); any other key is answered from the MIME data:
//   ".ext"                        the MIME type of the extension (mime_types.h), e.g. "text/html";
//   "<type>\shell\open\command"   the Exec line of the default application (mime_apps.h) of
//                                 <type> when it holds a "/" ("text/html"), else of the URL
//                                 scheme <type> ("mailto", "callto": x-scheme-handler/<type>).
// Command values, from either source, are desktop Exec lines (desktop_exec.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace os {

// The registry root of the handler look-ups, as the 32-bit value callers keep it in.
constexpr std::int32_t HKEY_CLASSES_ROOT = INT32_MIN;  // 0x80000000

// Result codes of registry queries.
enum RegistryResult : int {
  RegSuccess = 0,
  RegNotFound = 2,
  RegMoreData = 234,
};

// The size callers give for a value: 200 bytes, the terminating NUL included.
constexpr int RegDefaultBufferSize = 200;

// The value of `subKey` under `root`, in the manner of RegQueryValueA. `size` is, on entry, the
// room for the value in bytes with its terminating NUL (so at most size - 1 bytes of text).
// Answers RegSuccess with `value` set and `size` := its length + 1; RegNotFound when the root
// is not HKEY_CLASSES_ROOT or the key has no value; RegMoreData when the value needs more room,
// with `size` := the room it needs. On every failure `value` is empty; after RegNotFound `size`
// is 0.
int regQueryValue(std::int32_t root, std::string_view subKey, std::string& value, int& size);

// The value of `subKey` under the classes root, of any length: RegSuccess or RegNotFound.
int queryClassesValue(std::string_view subKey, std::string& value);

}  // namespace os
