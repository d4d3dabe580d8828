// The levels of the error reporter: how a message is shown, and what a report answers.
#pragma once

namespace classlib {

enum ErrorLevel : int {
  LevelBenign = 0,  // shown to nobody; as an answer: go on
  LevelUser = 1,    // a Yes/No question; Yes answers LevelBenign, No answers LevelCancel
  LevelFatal = 3,   // shown with OK, then the program ends
  LevelCancel = 4,  // only an answer: the user declined
  LevelNotify = 5,  // shown with OK; as an answer: the operation failed
};

}  // namespace classlib
