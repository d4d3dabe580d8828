#include "platform/runtime/message.h"

#include <atomic>
#include <cstdlib>
#include <iostream>
#include <mutex>

#include "platform/runtime/module_initialisers.h"

namespace runtime {
namespace {

constexpr int kAllButtons =
    ButtonOk | ButtonYes | ButtonNo | ButtonAbort | ButtonRetry | ButtonIgnore | ButtonCancel;

class ExitHalter : public Halter {
 public:
  void halt(int exitCode) override {
    runThreadEnd();
    runProcessEnd();
    std::exit(exitCode);
  }
};

std::atomic<MessageAnswerer*> installedAnswerer{nullptr};
std::atomic<Halter*> installedHalter{nullptr};

MessageAnswerer& answerer() {
  static StreamAnswerer standardError(std::cerr);
  MessageAnswerer* installed = installedAnswerer.load();
  return installed ? *installed : standardError;
}

Halter& halter() {
  static ExitHalter exitHalter;
  Halter* installed = installedHalter.load();
  return installed ? *installed : exitHalter;
}

int lowestButton(int buttons) { return buttons & -buttons; }

// The box's text with "|" and CR LF turned into line breaks.
std::string boxText(std::string_view text) {
  std::string lines;
  lines.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '|') {
      lines += '\n';
    } else if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      lines += '\n';
      ++i;
    } else {
      lines += text[i];
    }
  }
  return lines;
}

// A readable name for the icon of a box written to a stream.
std::string iconName(const std::string& icon) {
  if (icon == kIconHand) return "stop";
  if (icon == kIconQuestion) return "question";
  if (icon == kIconExclamation) return "exclamation";
  if (icon == kIconInformation) return "information";
  if (icon.size() == 4 && icon[0] == '\xFF' && icon[1] == '\x01') {
    return "system icon " + std::to_string(static_cast<unsigned char>(icon[2]) |
                                           static_cast<unsigned char>(icon[3]) << 8);
  }
  return icon;
}

}  // namespace

std::string systemIcon(int resourceId) {
  return std::string{'\xFF', '\x01', static_cast<char>(resourceId & 0xFF),
                     static_cast<char>((resourceId >> 8) & 0xFF)};
}

std::string buttonName(int button) {
  switch (button) {
    case ButtonOk: return "OK";
    case ButtonYes: return "Yes";
    case ButtonNo: return "No";
    case ButtonAbort: return "Abort";
    case ButtonRetry: return "Retry";
    case ButtonIgnore: return "Ignore";
    case ButtonCancel: return "Cancel";
    default: return {};
  }
}

int StreamAnswerer::answer(const MessageRequest& box) {
  // One box at a time, so that boxes of several threads do not interleave.
  static std::mutex writing;
  std::lock_guard lock(writing);
  out_ << "[message] " << box.caption;
  if (!box.icon.empty()) out_ << " (" << iconName(box.icon) << ")";
  out_ << "\n" << box.text << "\n[buttons]";
  for (int button = ButtonOk; button <= ButtonCancel; button <<= 1) {
    if (box.buttons & button) out_ << " " << buttonName(button);
  }
  out_ << " -> " << buttonName(box.defaultButton) << std::endl;
  return box.defaultButton;
}

MessageAnswerer* setMessageAnswerer(MessageAnswerer* answerer) {
  return installedAnswerer.exchange(answerer);
}

Halter* setHalter(Halter* halter) { return installedHalter.exchange(halter); }

int MESSAGE(std::string_view text, std::string_view caption, std::string_view icon, int buttons,
            int defaultButton, int style) {
  MessageRequest box;
  box.text = boxText(text);
  box.caption = std::string(caption);
  box.icon = std::string(icon);
  box.buttons = buttons & kAllButtons ? buttons & kAllButtons : ButtonOk;
  box.defaultButton = lowestButton(defaultButton) == defaultButton && (defaultButton & box.buttons)
                          ? defaultButton
                          : lowestButton(box.buttons);
  box.style = style;
  const int chosen = answerer().answer(box);
  return lowestButton(chosen) == chosen && (chosen & box.buttons) ? chosen : box.defaultButton;
}

void STOP(std::string_view text) {
  if (MESSAGE(text, "Stop", kIconHand, ButtonAbort | ButtonIgnore, ButtonAbort) == ButtonAbort) {
    HALT(kStopAbortExitCode);
  }
}

void HALT(int exitCode, std::string_view message) {
  if (!message.empty()) MESSAGE(message, "Halt");
  halter().halt(exitCode);
  // A halter that returns breaks its contract; the program must not go on.
  std::abort();
}

}  // namespace runtime
