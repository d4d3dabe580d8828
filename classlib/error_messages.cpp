#include "classlib/error_messages.h"

namespace classlib {

std::vector<ErrorMessage> defaultMessages() {
  return {
      {MsgOpenFailed, LevelNotify, "File Open Error",
       "Unable to open the %File file.|%ErrorText (error %ErrorCode)"},
      {MsgCreateFailed, LevelNotify, "File Create Error",
       "Unable to create the %File file.|%ErrorText (error %ErrorCode)"},
      {MsgRecordNotFound, LevelBenign, "Record Not Found",
       "No %File record was found by the key %Key."},
      {MsgReadFailed, LevelNotify, "File Read Error",
       "Unable to read from the %File file.|%ErrorText (error %ErrorCode)"},
      {MsgDuplicateKey, LevelNotify, "Creates Duplicate Key",
       "Creates Duplicate Key: another %File record already has this %Key.|"
       "The record was not saved."},
      {MsgInsertFailed, LevelNotify, "Add Record Error",
       "Unable to add the record to the %File file.|%ErrorText (error %ErrorCode)"},
      {MsgUpdateFailed, LevelNotify, "Change Record Error",
       "Unable to change the record in the %File file.|%ErrorText (error %ErrorCode)"},
      {MsgDeleteFailed, LevelNotify, "Delete Record Error",
       "Unable to delete the record from the %File file.|%ErrorText (error %ErrorCode)"},
      {MsgRecordChanged, LevelNotify, "Record Changed",
       "The %File record was changed by another user after you read it.|"
       "Your changes were not saved."},
      {MsgConfirmDelete, LevelUser, "Confirm Delete",
       "Are you sure you want to delete this %File record?"},
      {MsgFieldInvalid, LevelNotify, "Invalid Entry", "The value of %Field is not valid."},
      {MsgRecordInvalid, LevelNotify, "Invalid Record",
       "The %File record is not valid.|It was not saved."},
      {MsgGeneral, LevelNotify, "Error", "%Message"},
      {MsgConfirmCancel, LevelUser, "Confirm Cancel",
       "Are you sure you want to cancel?|Your changes to this %File record will be lost."},
      {MsgViewOpenFailed, LevelNotify, "View Open Error",
       "Unable to open the view of the %File file.|%ErrorText (error %ErrorCode)"},
  };
}

}  // namespace classlib
