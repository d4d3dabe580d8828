#include "app/windows/browse_categories.h"

#include "app/dictionary/declarations.h"
#include "app/windows/list_pattern.h"
#include "app/windows/update_categories.h"
#include "app/windows/window_modules.h"
#include "app/windows/window_procedures.h"
#include "classlib/edit_in_place.h"

namespace app {
namespace {

using window::ControlType;

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
  setWindowProcedure(WindowProcedure::browse_Categories, browse_Categories);
}

void browse_Categories() { CategoriesList().runProcedure(); }

}  // namespace app
