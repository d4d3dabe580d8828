#include "app/windows/select_template.h"

#include "app/dictionary/declarations.h"
#include "app/windows/list_pattern.h"
#include "app/windows/template_row.h"
#include "app/windows/window_modules.h"

namespace app {
namespace {

const ListSpec kSpec{
    .procedure = "select_template",
    .key = kSelectTemplateKey,
    .file = &template_,
    .selectControl = kSelectTemplateButton,
};

class SelectTemplateList : public ListWindow {
 public:
  SelectTemplateList() : ListWindow(kSpec, rows_, browse_) {}

 private:
  runtime::Queue<TemplateRow> rows_;
  classlib::BrowseManager browse_;
};

}  // namespace

void addSelectTemplateResource() {
  window::WindowDefinition d = listResource(kSelectTemplateKey, "Select Template",
                                            "396L(2)|M@s99@1016L(2)|M@s254@56R(2)|M@n-14@",
                                            {0, 0, 400, 160}, {4, 4, 392, 130});
  d.add(kSelectTemplateButton, window::ControlType::Button).text("&Select").at(346, 140, 50, 14);
  addModuleWindow(6, std::move(d));
}

void select_template() { SelectTemplateList().runProcedure(); }

}  // namespace app
