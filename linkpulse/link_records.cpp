#include "linkpulse/link_records.h"

namespace linkpulse {
namespace {

using runtime::FieldDef;
using runtime::hasOffsets;

constexpr FieldDef kItemFields[] = {
    GD_FIELD(LinkItem, CONTROL, "ITEMQ:CONTROL"),
    GD_FIELD(LinkItem, URL, "ITEMQ:URL"),
    GD_FIELD(LinkItem, NORMAL, "ITEMQ:NORMAL"),
    GD_FIELD(LinkItem, BRIGHT, "ITEMQ:BRIGHT"),
    GD_FIELD(LinkItem, INACTIVECOLOR, "ITEMQ:INACTIVECOLOR"),
    GD_FIELD(LinkItem, STYLE, "ITEMQ:STYLE"),
    GD_FIELD(LinkItem, COLUMN, "ITEMQ:COLUMN"),
    GD_FIELD(LinkItem, UNDERLINE, "ITEMQ:UNDERLINE"),
    GD_FIELD(LinkItem, USEEVENT, "ITEMQ:USEEVENT"),
    GD_FIELD(LinkItem, WORKING, "ITEMQ:WORKING"),
    GD_FIELD(LinkItem, HANDCURSOR, "ITEMQ:HANDCURSOR"),
    GD_FIELD(LinkItem, NORMALSTYLE, "ITEMQ:NORMALSTYLE"),
    GD_FIELD(LinkItem, BRIGHTSTYLE, "ITEMQ:BRIGHTSTYLE"),
    GD_FIELD(LinkItem, ACTIVE, "ITEMQ:ACTIVE"),
    GD_FIELD(LinkItem, USESTDACTION, "ITEMQ:USESTDACTION"),
    GD_FIELD(LinkItem, SKYPEFUNCTION, "ITEMQ:SKYPEFUNCTION"),
};
static_assert(hasOffsets(kItemFields, {0, 4, 4100, 4104, 4108, 4112, 4116, 4120, 4121, 4125, 4129,
                                       4130, 4134, 4138, 4139, 4143}));

constexpr FieldDef kTrackerFields[] = {
    GD_FIELD(LinkTracker, CONTROL, "TRACKERQ:CONTROL"),
    GD_FIELD(LinkTracker, OLDFORMATCOL, "TRACKERQ:OLDFORMATCOL"),
    GD_FIELD(LinkTracker, COLUMNNO, "TRACKERQ:COLUMNNO"),
};
static_assert(hasOffsets(kTrackerFields, {0, 4, 259}));

}  // namespace

const runtime::RecordLayout& LinkItem::layout() {
  static const runtime::RecordLayout layout(kItemFields, sizeof(LinkItem));
  return layout;
}

const runtime::RecordLayout& LinkTracker::layout() {
  static const runtime::RecordLayout layout(kTrackerFields, sizeof(LinkTracker));
  return layout;
}

}  // namespace linkpulse
