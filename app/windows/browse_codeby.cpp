#include "app/windows/browse_codeby.h"

#include "app/dictionary/declarations.h"
#include "app/windows/list_pattern.h"
#include "app/windows/updatecodeby.h"
#include "app/windows/window_modules.h"
#include "app/windows/window_procedures.h"
#include "classlib/locator.h"

namespace app {
namespace {

using window::ControlType;

constexpr int kName = fieldNumber(kCodebyFields, "COD:NAME");

// A row of the list.
struct MemberRow {
  CString<100> NAME;
  Byte MARK;
  String<1024> VIEWPOSITION;
  static const runtime::RecordLayout& layout() {
    static const FieldDef fields[] = {
        GD_FIELD(MemberRow, NAME, "COD:NAME"),
        GD_FIELD(MemberRow, MARK, "MARK"),
        GD_FIELD(MemberRow, VIEWPOSITION, "VIEWPOSITION"),
    };
    static const runtime::RecordLayout layout(fields, sizeof(MemberRow));
    return layout;
  }
};

const ListSpec kListSpec{
    .procedure = "browse_codeby",
    .key = kBrowseCodebyKey,
    .file = &codeby,
    .sortKey = "COD:P_NAME",
    .selectControl = kMembersSelect,
    .insertControl = kMembersInsert,
    .changeControl = kMembersChange,
    .deleteControl = kMembersDelete,
    .closeControl = kMembersClose,
    .form = Updatecodeby,
};

class MembersList : public ListWindow {
 public:
  MembersList() : ListWindow(kListSpec, rows_, browse_) {}

 protected:
  // The name typed into the list locates; the popup offers no editing.
  void setUpBrowse() override {
    locator_.init(0, kName);
    browse_.addLocator(locator_);
    browse_.setThumb(classlib::ThumbTable);
    browse_.EDITVIAPOPUP = false;
  }

 private:
  runtime::Queue<MemberRow> rows_;
  classlib::BrowseManager browse_;
  classlib::Locator locator_;
};

}  // namespace

void addBrowseCodebyResource() {
  window::WindowDefinition d = listResource(kBrowseCodebyKey, "Browse the codeby file",
                                            "80L(2)|M@s99@", {0, 0, 260, 200}, {8, 20, 244, 130});
  d.add(kMembersSheet, ControlType::Sheet).at(4, 4, 252, 170);
  d.add(kMembersTab, ControlType::Tab).text("Forum Member Name").parent(kMembersSheet);
  d.controls.at(kMembersList).parent = kMembersTab;
  d.controls.at(kMembersList).tip = "Browsing the codeby file";
  const struct {
    int control;
    const char* text;
    const char* tip;
  } buttons[] = {{kMembersSelect, "&Select", "Select the Record"},
                 {kMembersInsert, "&Insert", "Insert a Record"},
                 {kMembersChange, "&Change", "Change the Record"},
                 {kMembersDelete, "&Delete", "Delete the Record"}};
  int x = 8;
  for (const auto& b : buttons) {
    d.add(b.control, ControlType::Button)
        .text(b.text)
        .tip(b.tip)
        .parent(kMembersTab)
        .at(x, 154, 50, 14);
    x += 54;
  }
  d.add(kMembersClose, ControlType::Button).text("&Close").tip("Close Window").at(206, 180, 50, 14);
  addModuleWindow(11, std::move(d));
  setWindowProcedure(WindowProcedure::browse_codeby, browse_codeby);
}

void browse_codeby() { MembersList().runProcedure(); }

}  // namespace app
