// The error reporter's numbered messages and its default table.
//
// A message's title and text may hold placeholders, filled when it is reported: "%File" (the
// file's display name), "%Key" (the key's description), "%Field" (the field's name),
// "%Message" (a free text of the caller), "%ErrorText" and "%ErrorCode" (the runtime's error
// text and number) and "%Procedure" (the calling thread's procedure name). "|" in a text starts
// a new line.
#pragma once

#include <string>
#include <vector>

#include "classlib/error_level.h"

namespace classlib {

// The numbers of the default messages.
enum Msg : int {
  MsgOpenFailed = 1,
  MsgCreateFailed = 2,
  MsgRecordNotFound = 3,
  MsgReadFailed = 4,
  MsgDuplicateKey = 5,
  MsgInsertFailed = 6,
  MsgUpdateFailed = 7,
  MsgDeleteFailed = 8,
  MsgRecordChanged = 9,
  MsgConfirmDelete = 10,
  MsgFieldInvalid = 11,
  MsgRecordInvalid = 12,
  MsgGeneral = 13,
  MsgConfirmCancel = 14,
  MsgViewOpenFailed = 43,
};

struct ErrorMessage {
  int id = 0;
  ErrorLevel level = LevelNotify;
  std::string title;
  std::string text;
};

// The messages the reporter starts with, in number order.
std::vector<ErrorMessage> defaultMessages();

}  // namespace classlib
