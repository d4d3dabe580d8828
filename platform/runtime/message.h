// Message boxes and the end of the program: MESSAGE, STOP and HALT. Every box goes through one
// process-wide MessageAnswerer, which the window engine replaces with drawn boxes; without one,
// a box is written to stderr and answered with its default button. The end of the program
// goes through a process-wide Halter, which tests replace to intercept it.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

namespace runtime {

// The buttons of a message box; a box's buttons are a set of these bits.
enum MessageButton : int {
  ButtonOk = 1,
  ButtonYes = 2,
  ButtonNo = 4,
  ButtonAbort = 8,
  ButtonRetry = 16,
  ButtonIgnore = 32,
  ButtonCancel = 64,
};

// A box's icon is a text: empty for none, an icon file name, or a system icon, the four bytes
// FF 01 and the icon's resource number (low byte first).
std::string systemIcon(int resourceId);
inline constexpr std::string_view kIconHand{"\xFF\x01\x01\x7F", 4};         // 32513
inline constexpr std::string_view kIconQuestion{"\xFF\x01\x02\x7F", 4};     // 32514
inline constexpr std::string_view kIconExclamation{"\xFF\x01\x03\x7F", 4};  // 32515
inline constexpr std::string_view kIconInformation{"\xFF\x01\x04\x7F", 4};  // 32516

// The style of a box: modal for the application, or for the whole system.
enum MessageStyle : int { StyleApplicationModal = 0, StyleSystemModal = 1 };

// One box as the answerer gets it.
struct MessageRequest {
  std::string text;  // its lines separated by '\n'
  std::string caption;
  std::string icon;
  int buttons = ButtonOk;        // a non-empty set of MessageButton bits
  int defaultButton = ButtonOk;  // one of `buttons`
  int style = StyleApplicationModal;
};

// Shows a box and answers the button the user chose, one of the box's buttons.
class MessageAnswerer {
 public:
  virtual ~MessageAnswerer() = default;
  virtual int answer(const MessageRequest& box) = 0;
};

// Writes each box to a stream and answers its default button; the default answerer is one on
// stderr, for a process without windows.
class StreamAnswerer : public MessageAnswerer {
 public:
  explicit StreamAnswerer(std::ostream& out) : out_(out) {}
  int answer(const MessageRequest& box) override;

 private:
  std::ostream& out_;
};

// Ends the process with an exit code. halt() must not return: it ends the process or throws.
class Halter {
 public:
  virtual ~Halter() = default;
  virtual void halt(int exitCode) = 0;
};

// Installs the process's answerer (kept by the caller until replaced); nullptr brings back the
// default, which writes each box to stderr and answers its default button. Returns the answerer
// installed before (nullptr for the default).
MessageAnswerer* setMessageAnswerer(MessageAnswerer* answerer);

// Installs the process's halter; nullptr brings back the default, which runs the calling
// thread's thread-end and then the process-end initialisers and calls std::exit. Returns the
// halter installed before (nullptr for the default).
Halter* setHalter(Halter* halter);

// The name of a button ("OK", "Yes", ...); empty for a value that is not one button.
std::string buttonName(int button);

// A modal message box. "|" (and CR LF) in the text start a new line. No buttons means OK; a
// default button that is not among the buttons means the first of them (in the order of the
// bits). Returns the chosen button; an answer that is not among the buttons counts as the
// default button.
int MESSAGE(std::string_view text, std::string_view caption = {}, std::string_view icon = {},
            int buttons = ButtonOk, int defaultButton = 0, int style = StyleApplicationModal);

// The exit code of a program ended through the Abort button of STOP.
inline constexpr int kStopAbortExitCode = 1;

// A box titled "Stop" with the text and the buttons Abort (the default) and Ignore. Abort ends
// the program at once through HALT with kStopAbortExitCode; Ignore returns to the caller.
void STOP(std::string_view text);

// Ends the program with the exit code. A non-empty message is first shown in a box titled
// "Halt" with an OK button.
[[noreturn]] void HALT(int exitCode = 0, std::string_view message = {});

}  // namespace runtime
