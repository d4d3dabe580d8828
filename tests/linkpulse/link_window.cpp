#include "link_window.h"

#include <mutex>

#include "platform/window/list_source.h"
#include "platform/window/window_definition.h"

namespace linkpulse::testing {
namespace {

constexpr const char* kKey = "linktest$linktest001";
constexpr const char* kLabel = "P1$LINKWINDOW";

char siteText[41];

void registerLinkWindow() {
  static std::once_flag once;
  std::call_once(once, [] {
    using window::ControlType;
    window::WindowDefinition d;
    d.key = kKey;
    d.label = kLabel;
    d.title = "Links";
    d.at = window::Rect{0, 0, 300, 200};
    d.timer = 8;
    d.add(kVisitButton, ControlType::Button).text("Visit").at(10, 10, 40, 14);
    d.add(kSiteEntry, ControlType::Entry)
        .picture("@s40")
        .use(window::UseVariable::cstring(siteText, sizeof siteText))
        .at(10, 30, 100, 10);
    d.add(kSiteString, ControlType::String).text("www.string.example").at(10, 50, 80, 10);
    d.add(kSitePrompt, ControlType::Prompt).text("&Site").at(10, 62, 40, 10);
    d.add(kGroup, ControlType::Group).text("Group").at(10, 140, 100, 40);
    d.add(kGroupString, ControlType::String).text("in.group").parent(kGroup).at(14, 150, 60, 10);
    d.add(kNotesText, ControlType::Text).at(10, 80, 100, 20);
    d.add(kSiteList, ControlType::List)
        .at(120, 10, 120, 60)
        .format("60L(2)|M#1#~Site~@s40@60L(2)|M#2#~Forum~@s40@");
    d.add(kHotRegion, ControlType::Region).imm().at(200, 100, 20, 10);
    window::resources().add(std::move(d));
  });
}

window::VectorListSource& rows() {
  using runtime::Value;
  static window::VectorListSource source({
      {Value::text("www.a.example"), Value::text("forum.a")},
      {Value::text("www.b.example"), Value::text("forum.b")},
  });
  return source;
}

}  // namespace

int TestManager::ControlURL(std::optional<int> control) {
  if (control == kVisitButton && !hookAddress.empty()) {
    URLTORUN = hookAddress;
    return 1;
  }
  return LinkPulseManager::ControlURL(control);
}

std::string TestManager::ListCellURL(int, std::optional<std::string_view> column,
                                     std::optional<std::string_view>,
                                     std::optional<std::string_view>) {
  return "cell" + std::string(column.value_or("?"));
}

void TestManager::SetCellStyle(int, int, int row, int style) {
  cellStyles.push_back(row);
  cellStyles.push_back(style);
}

std::vector<window::EventRecord> runLinkWindow(window::HeadlessBackend& backend,
                                               LinkPulseManager& manager,
                                               const std::function<void()>& setup) {
  registerLinkWindow();
  siteText[0] = '\0';
  const window::InstalledBackend installed(backend);
  window::Window& w = window::OPEN(kKey, kLabel);
  w.setListSource(kSiteList, &rows());
  std::vector<window::EventRecord> events;
  while (window::ACCEPT()) {
    events.push_back(w.current());
    if (window::EVENT() == window::EventOpenWindow) {
      manager.HANDCURSORTOUSE = "~hand2.cur";
      manager.Init(window::EventTimer, 0);
      manager.LIMITURL = -1;
      if (setup) setup();
    }
    manager.TakeEvent();
  }
  return events;
}

}  // namespace linkpulse::testing
