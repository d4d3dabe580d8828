// Owner strings for traces and messages: the connection's password replaced by asterisks.
#pragma once

#include <string>
#include <string_view>

namespace upkeep_sql {

// `owner` of a file of driver code `code` ("MSS", "ORA", "ASA", "ODB", case included) with its
// password replaced by 16 asterisks: after the third comma ("MSS"), the second ("ASA"), the
// first comma or the "/" of "user/password@service" ("ORA"), the PWD= or PASSWORD= entry, else
// the second comma ("ODB"). Blank for any other code. At most 255 characters.
std::string ds_EncryptOwner(std::string_view code, std::string_view owner);

}  // namespace upkeep_sql
