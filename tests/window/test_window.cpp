#include "test_window.h"

#include <cstring>
#include <mutex>

#include "platform/window/key_codes.h"

namespace window {

void PrintTo(const EventRecord& e, std::ostream* os) {
  *os << eventName(e.event) << " " << e.control;
  if (e.keyCode) *os << " key " << e.keyCode;
}

}  // namespace window

namespace window::testing {

TestVars& vars() {
  static TestVars v;
  return v;
}

void reset() { std::memset(&vars(), 0, sizeof(TestVars)); }

ListSource& testRows() {
  static VectorListSource rows({
      {Value::text("Ann"), Value::number(1), Value::text(""), Value::number(1)},
      {Value::text("Bob"), Value::number(22), Value::text(""), Value::number(2)},
      {Value::text("Cid"), Value::number(333), Value::text(""), Value::number(0)},
  });
  return rows;
}

void registerTestWindow() {
  static std::once_flag once;
  std::call_once(once, [] {
    TestVars& v = vars();
    WindowDefinition d;
    d.key = kTestKey;
    d.label = kTestLabel;
    d.title = "Test Window";
    d.icon = "dockmark.ico";
    d.at = Rect{0, 0, 260, 200};
    d.statusZones = {100, 100};
    d.add(kMenuFile, ControlType::Menu).text("&File");
    d.add(kItemOpen, ControlType::Item).text("&Open").parent(kMenuFile);
    d.add(kItemExit, ControlType::Item).text("E&xit").parent(kMenuFile);
    d.add(kNamePrompt, ControlType::Prompt).text("&Name:").at(4, 4, 40, 10);
    d.add(kNameEntry, ControlType::Entry)
        .picture("@s20")
        .use(UseVariable::cstring(v.name, sizeof v.name))
        .at(50, 4, 80, 10)
        .msg("Type a name")
        .tip("The name");
    d.add(kCountEntry, ControlType::Entry)
        .picture("@n-7")
        .use(UseVariable::number(v.count))
        .at(50, 16, 40, 10);
    d.add(kActiveCheck, ControlType::Check)
        .text("&Active")
        .use(UseVariable::number(v.active))
        .at(4, 28, 60, 10);
    d.add(kIdeOption, ControlType::Option)
        .text("IDE")
        .use(UseVariable::cstring(v.ide, sizeof v.ide))
        .at(4, 40, 120, 20);
    d.add(kClassicRadio, ControlType::Radio)
        .text("Classic")
        .value("Classic")
        .parent(kIdeOption)
        .at(8, 48, 50, 10);
    d.add(kStudioRadio, ControlType::Radio)
        .text("Studio")
        .value("Studio")
        .parent(kIdeOption)
        .at(60, 48, 50, 10);
    d.add(kSheet, ControlType::Sheet).at(4, 64, 200, 100);
    d.add(kTabOne, ControlType::Tab).text("Page &1").parent(kSheet).at(4, 64, 200, 100);
    d.add(kList, ControlType::List)
        .parent(kTabOne)
        .at(8, 80, 190, 60)
        .format("40L(2)|M~Name~@s20@30R(2)|M~Count~L@n-7@12C(2)J@p p@")
        .iconList(1, "~CHECK1.ICO")
        .iconList(2, "~question.ico");
    d.add(kTabTwo, ControlType::Tab).text("T&wo").parent(kSheet).at(4, 64, 200, 100);
    d.add(kNotesText, ControlType::Text)
        .parent(kTabTwo)
        .use(UseVariable::string(v.notes, sizeof v.notes))
        .at(8, 80, 190, 40);
    d.add(kLineText, ControlType::Text)
        .parent(kTabTwo)
        .single()
        .use(UseVariable::cstring(v.line, sizeof v.line))
        .at(8, 124, 190, 10);
    d.add(kOkButton, ControlType::Button).text("&OK").at(210, 4, 40, 14);
    d.add(kCancelButton, ControlType::Button).text("&Cancel").at(210, 20, 40, 14);
    d.add(kNameString, ControlType::String)
        .picture("@s10")
        .use(UseVariable::cstring(v.name, sizeof v.name))
        .at(4, 170, 60, 10);
    d.add(kProgress, ControlType::Progress).range(0, 10).at(70, 170, 60, 8);
    d.add(kRegion, ControlType::Region).imm().at(140, 170, 30, 10);
    d.add(kImage, ControlType::Image).text("logo.png").at(180, 170, 20, 20);
    d.add(kLine, ControlType::Line).at(4, 185, 200, 1);
    d.add(kBox, ControlType::Box).at(210, 40, 40, 40);
    d.add(kGroup, ControlType::Group).text("Group").at(210, 90, 40, 40);
    d.add(kSpin, ControlType::Spin)
        .picture("@n3")
        .range(0, 99)
        .use(UseVariable::number(v.spin))
        .parent(kGroup)
        .at(212, 100, 30, 10);
    d.add(kDrop, ControlType::Drop)
        .from("Red|Green|Blue")
        .use(UseVariable::cstring(v.colour, sizeof v.colour))
        .parent(kGroup)
        .at(212, 112, 30, 10);
    d.add(kCombo, ControlType::Combo)
        .from("x|y")
        .use(UseVariable::cstring(v.combo, sizeof v.combo))
        .parent(kGroup)
        .at(212, 124, 30, 10);
    d.add(kPanel, ControlType::Panel).at(210, 140, 40, 20);
    resources().add(std::move(d));
  });
}

std::vector<EventRecord> runTestWindow(HeadlessBackend& backend, const Handler& handler) {
  registerTestWindow();
  BackendScope scope(backend);
  Window& w = OPEN(kTestKey, kTestLabel);
  w.setListSource(kList, &testRows());
  std::vector<EventRecord> events;
  try {
    while (ACCEPT()) {
      events.push_back(w.current());
      if (handler) handler(w);
      if (ACCEPTED() == kOkButton) POST(EventCloseWindow);
    }
  } catch (...) {
    CLOSE();
    throw;
  }
  CLOSE();
  return events;
}

std::string describeEvents(const std::vector<EventRecord>& events) {
  std::string out;
  for (const EventRecord& e : events) {
    if (!out.empty()) out += ", ";
    out += std::string(eventName(e.event)) + " " + std::to_string(e.control);
    if (e.keyCode) out += " key " + std::to_string(e.keyCode);
  }
  return out;
}

}  // namespace window::testing
