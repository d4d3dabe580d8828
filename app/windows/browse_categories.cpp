#include "app/windows/browse_categories.h"

#include "app/dictionary/declarations.h"
#include "app/windows/form_pattern.h"
#include "app/windows/list_pattern.h"
#include "app/windows/record_use.h"
#include "app/windows/window_modules.h"
#include "platform/classlib/edit_in_place.h"

namespace app {
namespace {

using window::ControlType;
constexpr int kCatDescription = fieldNumber(kCategortFields, "CAT:CATDESCRIPTION");

// A row of the list.
struct CategoryRow {
  CString<50> CATDESCRIPTION;
  Byte MARK;
  String<1024> VIEWPOSITION;
  static const runtime::RecordLayout& layout() {
    static const FieldDef fields[] = {
        GD_FIELD(CategoryRow, CATDESCRIPTION, "CAT:CATDESCRIPTION"),
        GD_FIELD(CategoryRow, MARK, "MARK"),
        GD_FIELD(CategoryRow, VIEWPOSITION, "VIEWPOSITION"),
    };
    static const runtime::RecordLayout layout(fields, sizeof(CategoryRow));
    return layout;
  }
};

const ListSpec kListSpec{
    .procedure = "browse_Categories",
    .key = kBrowseCategoriesKey,
    .file = &categort,
    .selectControl = kCategoriesSelect,
    .insertControl = kCategoriesInsert,
    .changeControl = kCategoriesChange,
    .deleteControl = kCategoriesDelete,
    .closeControl = kCategoriesClose,
    .form = update_categories,
};

class CategoriesList : public ListWindow {
 public:
  CategoriesList() : ListWindow(kListSpec, rows_, browse_) {}

 protected:
  // The list edits in place: the form is wired but not asked for.
  void setUpBrowse() override {
    browse_.ASKPROCEDURE = 0;
    browse_.EIP = &eip_;
    browse_.ARROWACTION = classlib::EipArrowSaves | classlib::EipArrowEditsOn;
    browse_.DELETEACTION = classlib::EipDeleteAsks;
  }

 private:
  runtime::Queue<CategoryRow> rows_;
  classlib::BrowseManager browse_;
  classlib::EditInPlace eip_;
};

const files::PerThreadFile* const kFormFiles[] = {&categort};
const HistoryField kFormHistory[] = {{kCategoryEntry, kCatDescription}};
const int kFormReadOnly[] = {kCategoryEntry};

const FormSpec kFormSpec{
    .procedure = "update_categories",
    .key = kUpdateCategoriesKey,
    .primary = &categort,
    .files = kFormFiles,
    .history = kFormHistory,
    .okControl = kCategoryOk,
    .cancelControl = kCategoryCancel,
    .viewReadOnly = kFormReadOnly,
    .viewDisabled = {},
};

}  // namespace

void addBrowseCategoriesResource() {
  window::WindowDefinition d = listResource(kBrowseCategoriesKey, "Categories", "196L(2)|M@s49@",
                                            {0, 0, 220, 180}, {4, 4, 150, 170});
  const struct {
    int control;
    const char* text;
  } buttons[] = {{kCategoriesInsert, "&Insert"},
                 {kCategoriesChange, "&Change"},
                 {kCategoriesDelete, "&Delete"},
                 {kCategoriesSelect, "&Select"},
                 {kCategoriesClose, "Close"}};
  int y = 4;
  for (const auto& b : buttons) {
    d.add(b.control, ControlType::Button).text(b.text).at(160, y, 54, 14);
    y += 18;
  }
  addModuleWindow(9, std::move(d));
}

void addUpdateCategoriesResource() {
  window::WindowDefinition d =
      formResource(kUpdateCategoriesKey, "Category Updates", "General", {0, 0, 220, 70});
  d.add(kCategoryPrompt, ControlType::Prompt).text("Categories:").parent(2).at(10, 20, 50, 10);
  d.add(kCategoryEntry, ControlType::Entry)
      .picture("@s49")
      .use(recordUse(categort, kCatDescription))
      .parent(2)
      .at(62, 20, 150, 10);
  d.add(kCategoryOk, ControlType::Button)
      .text("&OK")
      .tip("Accept data and close the window")
      .at(110, 44, 50, 14);
  d.add(kCategoryCancel, ControlType::Button)
      .text("&Cancel")
      .tip("Cancel operation")
      .at(164, 44, 50, 14);
  addModuleWindow(10, std::move(d));
}

void browse_Categories() { CategoriesList().runProcedure(); }

void update_categories() {
  thread_local classlib::RecordSnapshot history;
  FormWindow(kFormSpec, history).runProcedure();
}

}  // namespace app
