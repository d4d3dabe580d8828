// The quick filter: a free-text filter over one list of a window. The user types a text in the
// "Find:" entry and switches the filter on; the list then keeps only the records that hold the
// text anywhere in their record buffer (letter case ignored), in one of their numbers and dates
// as shown, or in their memo. The main window's "Search Projects" list and the functions
// window's list carry one each; forProjects and forFunctions set them up.
//
// A window creates its QuickFind with the window procedure, calls open() in its opening,
// textAccepted() and switchAccepted() when the entry and the switch button are accepted,
// recordPasses() from its list's record validation, listRebuilt() each time the list has been
// rebuilt through the filter, and close() in its kill. All of it runs on the window's thread,
// with the window current. Both keep the state they share in `quickFind` (quick_find_state.h),
// overwritten by whichever window acts last.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/windows/quick_find_state.h"
#include "platform/runtime/folded_search.h"
#include "platform/runtime/text_types.h"

namespace app {

// The message shown when the filter leaves the list empty, and its caption.
inline constexpr std::string_view kNoMatchesText =
    "There are no records matching the selection critieria you have entered.";
inline constexpr std::string_view kNoMatchesCaption = "No Matches";

class QuickFind {
 public:
  // The window's controls of the filter.
  struct Controls {
    int switchButton;  // "Find Off" / "Find On"
    int findEntry;     // "Find:", FINDSTR
    int list;          // the filtered list
    int ignoreCaseCheck;
    int includeMemoCheck;
  };
  static constexpr Controls kMainControls{30, 32, 35, 33, 34};
  static constexpr Controls kFunctionsControls{3, 5, 6, 10, 11};

  // A number or date of the record, searched as written with its picture.
  struct NumberField {
    std::function<long long()> value;
    std::string picture;
  };
  // A NumberField reading `field` (a LONG, BYTE, DATE ... of the record), which must outlive it.
  template <class Field>
  static NumberField number(const Field& field, std::string picture) {
    return {[&field] { return static_cast<long long>(field.value()); }, std::move(picture)};
  }

  // What the record test searches.
  struct Record {
    std::span<const std::byte> buffer;  // the whole record buffer, which must outlive the filter
    std::vector<NumberField> numbers;   // in the order they are tried
    std::function<std::string_view()> memo;  // the record's memo; empty when it has none
  };

  // The two windows differ in what switching off does to the typed text.
  enum class SwitchOff { KeepText, BlankText };

  // A filter over `record` on the window's `controls`. `refill` forces a full reset of the
  // window, so that the list is rebuilt through recordPasses(); it may be called from within
  // listRebuilt().
  QuickFind(Controls controls, Record record, SwitchOff switchOff, std::function<void()> refill);

  // The main window's filter: controls 30 to 35 over the calling thread's projects record,
  // numbers PRO:ID @n-14, the three dates @d6 and the four platform flags @n3; switching off
  // keeps the text.
  static QuickFind forProjects(std::function<void()> refill);
  // The functions window's filter: controls 3, 5, 6, 10, 11 over the calling thread's func
  // record and its FUN:EXAMPLECODE memo, numbers FUN:ID @n-14 and FUN:FULLCODE @n3; switching
  // off blanks the text.
  static QuickFind forFunctions(std::function<void()> refill);

  // The "Find:" entry's text and the two check boxes' values. The check boxes change only
  // these: the filter always ignores case and searches the memo.
  runtime::String<20> FINDSTR;
  std::uint8_t UPPERCASE = 0;
  std::uint8_t INCLUDEMEMO = 0;

  // The window's opening: binds the entry to FINDSTR and the check boxes to UPPERCASE and
  // INCLUDEMEMO, turns the filter off with ignore-case and include-memo on, names the button
  // "Find Off" and blanks the shared state.
  void open();

  // The "Find:" entry was accepted: FINDSTR (upper-cased) becomes the working text; while the
  // filter is on and the text is not blank, the focus goes to the list and the list is refilled.
  void textAccepted();

  // The switch button was accepted: saves the window's data (UPDATE), then switches.
  void switchAccepted();

  // The record test: true when the filter is off or the record in the buffer holds the working
  // text: in the whole buffer upper-cased or as it stands, in one of its numbers as formatted
  // (when the text holds a digit), or in its memo.
  bool recordPasses() const;

  // The list was rebuilt and holds `rows` rows: an empty list under the filter shows
  // "No Matches" and switches the filter off, which refills the list.
  void listRebuilt(std::size_t rows);

  // The window's kill: blanks the shared text and clears the shared switches.
  void close();

  bool findOn() const { return findOn_ != 0; }
  bool ignoreCase() const { return ignoreCase_ != 0; }
  bool includeMemo() const { return includeMemo_ != 0; }
  // The text in force, upper-cased when ignore-case is set.
  std::string_view workingText() const { return working_.view(); }

 private:
  // True when the working text is in UPPER of `text` (with ignore-case) or in `text` as it
  // stands, found without making UPPER of `text`. The working text is clipped, so it ends in a
  // byte other than a space: a match never lies in trailing spaces, and `text` need not be
  // clipped first.
  bool holds(std::string_view text) const;
  // Switches the filter on or off, names the button, copies the state to the shared items and
  // refills the list; switching on with a blank text only puts the focus in the entry.
  void switchFilter();
  void setButtonText(std::string_view text) const;
  // The digit test: QuickFindHasDigit from the shared text, and this window's own flag.
  void digitTest();
  void setWorkingText(std::string_view text);

  Controls controls_;
  Record record_;
  SwitchOff switchOff_;
  std::function<void()> refill_;

  std::uint8_t findOn_ = 0;
  std::uint8_t ignoreCase_ = 0;
  std::uint8_t includeMemo_ = 0;
  runtime::String<255> working_;
  std::string needle_;                 // CLIP of the working text
  runtime::FoldedSearch upperSearch_;  // of needle_ in the upper case of texts
  bool needleIsItsUpperCase_ = false;  // well-formed UTF-8 that upper-casing leaves alone
  bool hasDigit_ = false;              // the working text holds a digit
};

}  // namespace app
