#include "app/windows/browse_templates.h"

#include <functional>
#include <utility>

#include "app/dictionary/declarations.h"
#include "app/windows/list_pattern.h"
#include "app/windows/template_row.h"
#include "app/windows/update_templates.h"
#include "app/windows/window_modules.h"
#include "app/windows/window_procedures.h"
#include "platform/runtime/ini_document.h"
#include "platform/runtime/number_text.h"
#include "platform/runtime/paths.h"
#include "platform/runtime/text.h"
#include "platform/runtime/utf8.h"
#include "platform/runtime/whole_file.h"
#include "platform/window/window.h"

namespace app {
namespace {

using window::ControlType;

const ListSpec kSpec{
    .procedure = "browse_Templates",
    .key = kBrowseTemplatesKey,
    .file = &template_,
    .insertControl = kTemplatesInsert,
    .changeControl = kTemplatesChange,
    .deleteControl = kTemplatesDelete,
    .form = update_Templates,
};

// The browse of the templates: it tells the window each time the buffer gets the selected
// template (or none), whatever put it there: a new row, a scroll, a rebuilt list or the form's
// insert, change or delete.
class TemplatesBrowse : public classlib::BrowseManager {
 public:
  explicit TemplatesBrowse(std::function<void()> shown) : shown_(std::move(shown)) {}
  void updateBuffer() override {
    BrowseManager::updateBuffer();
    shown_();
  }

 private:
  std::function<void()> shown_;
};

class TemplatesList : public ListWindow {
 public:
  TemplatesList() : ListWindow(kSpec, rows_, browse_) {}

 private:
  // The preview shows the lines of the template in the buffer.
  void showPreview() {
    if (!window()) return;
    window()->change(kTemplatePreview,
                     runtime::Value::text(templatePreview(TPL->PROJECTPATH.view())));
  }

  runtime::Queue<TemplateRow> rows_;
  TemplatesBrowse browse_{[this] { showPreview(); }};
};

}  // namespace

std::string templatePreview(std::string_view path) {
  if (runtime::CLIP(path).empty()) return {};
  std::string content;
  if (runtime::readWholeFile(runtime::toOsPath(runtime::CLIP(path)), content) != 0) return {};
  const runtime::IniDocument lines(content);
  const std::string total = lines.value("template", "total").value_or("");
  const long long count = runtime::NUMERIC(total) ? runtime::textToLong(total) : 0;
  std::string preview;
  // Once the preview is full nothing more can show, however large the total.
  for (long long n = 1; n <= count && preview.size() < kPreviewLimit; ++n) {
    preview += lines.value("template", std::to_string(n)).value_or("");
    preview += "\r\n";
  }
  return std::string(runtime::utf8Prefix(preview, kPreviewLimit));
}

void addBrowseTemplatesResource() {
  window::WindowDefinition d =
      listResource(kBrowseTemplatesKey, "Templates", "396L(2)|M@s99@1016L(2)|M~Project Path~@s254@",
                   {0, 0, 400, 260}, {4, 4, 392, 100});
  d.add(kTemplatePreview, ControlType::Text).readOnly().at(4, 108, 392, 126);
  const struct {
    int control;
    const char* text;
  } buttons[] = {
      {kTemplatesInsert, "&Insert"}, {kTemplatesChange, "&Change"}, {kTemplatesDelete, "&Delete"}};
  int x = 238;
  for (const auto& b : buttons) {
    d.add(b.control, ControlType::Button).text(b.text).at(x, 240, 50, 14);
    x += 54;
  }
  addModuleWindow(8, std::move(d));
  setWindowProcedure(WindowProcedure::browse_Templates, browse_Templates);
}

void browse_Templates() { TemplatesList().runProcedure(); }

}  // namespace app
