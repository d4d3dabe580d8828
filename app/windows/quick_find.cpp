#include "app/windows/quick_find.h"

#include <algorithm>
#include <cassert>
#include <utility>

#include "app/dictionary/declarations.h"
#include "platform/runtime/case_fold.h"
#include "platform/runtime/message.h"
#include "platform/runtime/picture.h"
#include "platform/runtime/text.h"
#include "platform/window/engine.h"
#include "platform/window/properties.h"

namespace app {

namespace {

// INSTRING(needle, text, 1, 1) != 0: `needle` is a contiguous part of `text`; an empty needle
// is contained nowhere.
bool contains(std::string_view needle, std::string_view text) {
  return !needle.empty() && text.find(needle) != std::string_view::npos;
}

// Whether every byte of `text` at or above 80h belongs to a well-formed UTF-8 character.
bool wellFormed(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    std::uint32_t code = 0;
    const std::size_t length = static_cast<unsigned char>(text[i]) < 0x80
                                   ? 1
                                   : runtime::decodeCharacter(text.substr(i), code);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

bool holdsDigit(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view asText(std::span<const std::byte> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

template <class Record>
std::span<const std::byte> bytesOf(const Record& record) {
  return std::as_bytes(std::span<const Record, 1>(&record, 1));
}

}  // namespace

QuickFind::QuickFind(Controls controls, Record record, SwitchOff switchOff,
                     std::function<void()> refill)
    : controls_(controls),
      record_(std::move(record)),
      switchOff_(switchOff),
      refill_(std::move(refill)) {}

QuickFind QuickFind::forProjects(std::function<void()> refill) {
  const Projects& r = *PRO;
  Record record{bytesOf(r),
                {number(r.ID, "@n-14"), number(r.LASTDATE, "@d6"), number(r.LASTACCESS, "@d6"),
                 number(r.CREATETIONDATE, "@d6"), number(r.WINDOWSEXE, "@n3"),
                 number(r.ANDROID, "@n3"), number(r.IOS, "@n3"), number(r.HTML5, "@n3")},
                {}};
  return QuickFind(kMainControls, std::move(record), SwitchOff::KeepText, std::move(refill));
}

QuickFind QuickFind::forFunctions(std::function<void()> refill) {
  const Func& r = *FUN;
  const files::Memo* memo = func.get().memo(1);  // FUN:EXAMPLECODE
  assert(memo != nullptr);
  Record record{bytesOf(r), {number(r.ID, "@n-14"), number(r.FULLCODE, "@n3")}, [memo] {
                  return memo->content();
                }};
  return QuickFind(kFunctionsControls, std::move(record), SwitchOff::BlankText, std::move(refill));
}

void QuickFind::open() {
  window::Window* w = window::currentWindow();
  assert(w != nullptr && "the filter opens with its window");
  w->bindUse(controls_.findEntry, window::UseVariable::field(FINDSTR));
  w->bindUse(controls_.ignoreCaseCheck, window::UseVariable::number(UPPERCASE));
  w->bindUse(controls_.includeMemoCheck, window::UseVariable::number(INCLUDEMEMO));
  findOn_ = 0;
  ignoreCase_ = 1;
  includeMemo_ = 1;
  quickFind.QuickFindText.clear();
  quickFind.QuickFindIncludeMemo = 0;
  quickFind.QuickFindIgnoreCase = 0;
  setButtonText("Find Off");
  quickFind.QuickFindOn = 0;
}

void QuickFind::textAccepted() {
  setWorkingText(ignoreCase_ ? runtime::UPPER(FINDSTR.view()) : FINDSTR.text());
  quickFind.QuickFindText = working_.view();
  digitTest();
  if (findOn_ && !needle_.empty()) {
    window::SELECT(controls_.list);
    refill_();
  }
}

void QuickFind::switchAccepted() {
  window::UPDATE();
  switchFilter();
}

void QuickFind::switchFilter() {
  if (findOn_) {
    findOn_ = 0;
    setButtonText("Find Off");
    if (switchOff_ == SwitchOff::BlankText) {
      FINDSTR.clear();
      setWorkingText({});
    }
  } else {
    findOn_ = 1;
    if (ignoreCase_) {
      setWorkingText(runtime::UPPER(working_.view()));
      FINDSTR = working_.view();
    }
    setButtonText("Find On");
  }
  window::DISPLAY(controls_.findEntry);
  window::DISPLAY(controls_.switchButton);
  quickFind.QuickFindOn = findOn_;
  quickFind.QuickFindIgnoreCase = ignoreCase_;
  quickFind.QuickFindText = working_.view();
  quickFind.QuickFindIncludeMemo = includeMemo_;
  digitTest();
  if (needle_.empty() && findOn_) {
    window::SELECT(controls_.findEntry);
    return;
  }
  window::SELECT(controls_.list);
  refill_();
}

bool QuickFind::holds(std::string_view text) const {
  if (needle_.empty()) return false;
  if (ignoreCase_) {
    if (upperSearch_.foundIn(text)) return true;
    // A text of whole characters that is its own upper case lies, wherever a text holds it,
    // on whole characters of that text, and so in its upper case too: found there already.
    if (needleIsItsUpperCase_) return false;
  }
  return contains(needle_, text);
}

bool QuickFind::recordPasses() const {
  if (!findOn_) return true;
  if (holds(asText(record_.buffer))) return true;
  if (hasDigit_) {
    for (const NumberField& field : record_.numbers) {
      if (contains(needle_, runtime::FORMAT(field.value(), field.picture))) return true;
    }
  }
  return record_.memo && includeMemo_ && holds(record_.memo());
}

void QuickFind::listRebuilt(std::size_t rows) {
  if (rows != 0 || !findOn_) return;
  runtime::MESSAGE(kNoMatchesText, kNoMatchesCaption, runtime::kIconExclamation, runtime::ButtonOk);
  switchFilter();
}

void QuickFind::close() {
  quickFind.QuickFindText.clear();
  quickFind.QuickFindIgnoreCase = 0;
  quickFind.QuickFindIncludeMemo = 0;
}

void QuickFind::setButtonText(std::string_view text) const {
  window::setProperty(controls_.switchButton, window::PropText, text);
}

void QuickFind::setWorkingText(std::string_view text) {
  working_ = text;
  needle_ = working_.clipped();
  upperSearch_ = runtime::FoldedSearch(needle_);
  needleIsItsUpperCase_ = wellFormed(needle_) && runtime::foldCase(needle_) == needle_;
}

void QuickFind::digitTest() {
  // The number search of this window reads its own text: the shared copy may have been blanked
  // or replaced by the other window since.
  hasDigit_ = holdsDigit(needle_);
  quickFind.QuickFindHasDigit = holdsDigit(quickFind.QuickFindText.clipped()) ? 1 : 0;
}

}  // namespace app
