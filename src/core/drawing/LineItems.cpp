#include "drawing/LineItems.h"

#include "model/Changes.h"
#include "model/NumberText.h"
#include "model/PointIndex.h"

#include <cmath>

using LD = long double;

namespace {

struct ColourChoice {
    float value;
    const char* name;
};
constexpr ColourChoice kColours[kColourChoices] = {
    {0, "Black"}, {255, "Red"}, {32768, "Green"}, {65535, "Yellow"}, {16711680, "Blue"}, {8421504, "Gray"},
};

// round(v) for a stored real, or a value that matches no table entry.
long RoundedOrNone(float v)
{
    if (!std::isfinite(v) || std::fabs(v) > 1e9f) return -1000000000L;
    return std::lround(v);
}

float Stored(const std::string& text) { return ToModelFloat(ParseNumber(text)); }

} // namespace

float ColourValueOfChoice(int index)
{
    if (index < 0 || index >= kColourChoices) return -1;
    return kColours[index].value;
}

std::string ColourChoiceName(int index)
{
    if (index < 0 || index >= kColourChoices) return {};
    return kColours[index].name;
}

std::string ColourLabelOfValue(long v)
{
    for (const ColourChoice& c : kColours)
        if (static_cast<long>(c.value) == v) return c.name;
    return {};
}

std::string TypeLabel(long kind)
{
    if (kind == 0) return "Line";
    if (kind == 1) return "Circle";
    return {};
}

std::string ReferenceLabel(long ref)
{
    switch (ref) {
    case 0: return "0 , 0";
    case 1: return "Pivot1";
    case 2: return "Piv1/0,0";
    case 3: return "Piv1/P2";
    default: return {};
    }
}

int ItemIndex(const Overlay& ov)
{
    if (ov.CurrentItem < 1) return 1;
    if (ov.CurrentItem > kOverlayItems) return kOverlayItems;
    return ov.CurrentItem;
}

int HighlightedRow(const Overlay& ov)
{
    return ov.CurrentItem >= 1 && ov.CurrentItem <= kOverlayItems ? ov.CurrentItem : 0;
}

std::string ItemText(long double v) { return FormatFixed10(v, 7, 3); }

std::array<std::string, 4> CommitItem(AppState& s, bool clearMode)
{
    Overlay& ov = s.overlay;
    OverlayItem& it = ov.Item[static_cast<size_t>(ItemIndex(ov))];
    std::array<std::string, 4> t;
    if (clearMode) {
        it.X1 = it.Y1 = it.X2 = it.Y2 = 0;
        it.Pivot1X0 = it.Pivot1Y0 = it.Pivot2X0 = it.Pivot2Y0 = 0;
        return t;
    }
    // An offset from a pivot, written and kept as its text reads.
    auto offset = [](float& field, float origin, std::string& text) {
        text = ItemText(static_cast<LD>(field) - origin);
        field = Stored(text);
    };
    auto radius = [&](LD cx, LD cy, std::string& text) {
        const LD dx = static_cast<LD>(it.X2) - cx, dy = static_cast<LD>(it.Y2) - cy;
        text = ItemText(std::sqrt(dx * dx + dy * dy));
        it.X2 = Stored(text);
    };
    const int type = ov.TypeChoice, ref = ov.ReferenceChoice;
    if (type == 0 && ref == 0) {
        t = {ItemText(it.Y1), ItemText(it.X1), ItemText(it.Y2), ItemText(it.X2)};
    } else if (type == 0 && ref == 1) {
        offset(it.Y1, it.Pivot1Y0, t[0]);
        offset(it.X1, it.Pivot1X0, t[1]);
        offset(it.Y2, it.Pivot1Y0, t[2]);
        offset(it.X2, it.Pivot1X0, t[3]);
    } else if (type == 0 && ref == 2) {
        offset(it.Y1, it.Pivot1Y0, t[0]);
        offset(it.X1, it.Pivot1X0, t[1]);
        t[2] = ItemText(it.Y2);
        t[3] = ItemText(it.X2);
    } else if (type == 0 && ref == 3) {
        offset(it.Y1, it.Pivot1Y0, t[0]);
        offset(it.X1, it.Pivot1X0, t[1]);
        offset(it.Y2, it.Pivot2Y0, t[2]);
        offset(it.X2, it.Pivot2X0, t[3]);
    } else if (type == 1 && ref == 0) {
        t[0] = ItemText(it.Y1);
        t[1] = ItemText(it.X1);
        radius(it.X1, it.Y1, t[3]);
    } else if (type == 1 && ref == 1) {
        offset(it.Y1, it.Pivot1Y0, t[0]);
        offset(it.X1, it.Pivot1X0, t[1]);
        radius(ov.CapturedRefX, ov.CapturedRefY, t[3]);
    } else {
        t = {ItemText(it.Y1), ItemText(it.X1), ItemText(it.Y2), ItemText(it.X2)};
    }
    return t;
}

// ---------------------------------------------------------------- dialog model
bool LineDialogModel::AllChosen() const
{
    const Overlay& ov = s_.overlay;
    return ov.TypeChoice >= 0 && ov.ColourChoice >= 0 && ov.ReferenceChoice >= 0;
}

// ---------------------------------------------------------------- undo records
namespace {

std::vector<float> LineValues(const OverlayItem& it)
{
    return {it.X1,       it.Y1,   it.X2,     it.Y2,        it.Pivot1X0,    it.Pivot1Y0,   it.Pivot2X0,
            it.Pivot2Y0, it.Kind, it.Colour, it.Reference, it.Pivot1Index, it.Pivot2Index};
}

} // namespace

void LineDialogModel::BeginChange(int k)
{
    Overlay& ov = s_.overlay;
    if (k < 1 || k > kOverlayItems || ov.UncommittedItem == k) return;
    ov.Uncommitted = ov.Item[static_cast<size_t>(k)];
    ov.UncommittedItem = k;
}

void LineDialogModel::CommitChange(int k, const OverlayItem& justBefore, const std::string& what)
{
    Overlay& ov = s_.overlay;
    const OverlayItem& before = ov.UncommittedItem == k ? ov.Uncommitted : justBefore;
    const std::string type = TypeLabel(std::lround(before.Kind > -1 ? before.Kind : ov.Item[k].Kind));
    RecordValues(s_, ChangeKind::LineItem, k, LineValues(before),
                 (type.empty() ? std::string("Item") : type) + " " + std::to_string(k) + what);
    if (ov.UncommittedItem == k) ov.UncommittedItem = 0;
}

bool LineDialogModel::RefPointsAllZero() const
{
    const Gear& g = s_.gear;
    return g.PointX[kRefPoint1] == 0 && g.PointY[kRefPoint1] == 0 && g.PointX[kRefPoint2] == 0 &&
           g.PointY[kRefPoint2] == 0;
}

void LineDialogModel::Activate()
{
    Overlay& ov = s_.overlay;
    const Gear& g = s_.gear;
    if (ov.ReferenceChoice == -1) {
        ov.CapturedRefX = g.PointX[kRefPoint1];
        ov.CapturedRefY = g.PointY[kRefPoint1];
    }
    if (ov.ReferenceChoice < 1 || ov.ReferenceChoice > 3) {
        // A number from a file names a row from here on.
        ov.CurrentItem = ItemIndex(ov);
    } else {
        // Back from a pivot pick: undo the step taken on closing.
        ov.CurrentItem = ov.CurrentItem + 1;
        ov.CurrentItem = ItemIndex(ov);
        BeginChange(ov.CurrentItem);
        OverlayItem& it = ov.Item[static_cast<size_t>(ov.CurrentItem)];
        const int p1 = NearestPivotForDialog(g, kRefPoint1);
        it.Pivot1Index = static_cast<float>(p1);
        it.Pivot1X0 = g.PointX[p1];
        it.Pivot1Y0 = g.PointY[p1];
        if (ov.ReferenceChoice == 3) {
            const int p2 = NearestPivotForDialog(g, kRefPoint2);
            it.Pivot2Index = static_cast<float>(p2);
            it.Pivot2X0 = g.PointX[p2];
            it.Pivot2Y0 = g.PointY[p2];
        }
    }
}

LineOp LineDialogModel::ChooseType(int index)
{
    Overlay& ov = s_.overlay;
    LineOp op;
    if (RefPointsAllZero()) {
        op.beep = true;
        op.close = true;
        ov.TypeChoice = -1;
        return op;
    }
    ov.TypeChoice = index;
    rows_[static_cast<size_t>(ItemIndex(ov))].type = TypeLabel(index);
    if (AllChosen()) drawButEnabled_ = true;
    return op;
}

LineOp LineDialogModel::ChooseColour(int index)
{
    Overlay& ov = s_.overlay;
    LineOp op;
    if (ov.TypeChoice < 0) {
        ov.ColourChoice = -1;
        op.beep = true;
        return op;
    }
    ov.ColourChoice = index;
    rows_[static_cast<size_t>(ItemIndex(ov))].colour = ColourChoiceName(index);
    return op;
}

LineOp LineDialogModel::ChooseReference(int index)
{
    Overlay& ov = s_.overlay;
    const Gear& g = s_.gear;
    LineOp op;
    if (ov.TypeChoice < 0 || ov.ColourChoice < 0) {
        ov.ReferenceChoice = -1;
        op.beep = true;
        return op;
    }
    ov.ReferenceChoice = index;
    const int k = ItemIndex(ov);
    ov.CurrentItem = k;
    BeginChange(k);
    OverlayItem& it = ov.Item[static_cast<size_t>(k)];
    Row& row = rows_[static_cast<size_t>(k)];
    it.X1 = g.PointX[kRefPoint1];
    it.Y1 = g.PointY[kRefPoint1];
    it.X2 = g.PointX[kRefPoint2];
    it.Y2 = g.PointY[kRefPoint2];
    const bool isLine = ov.TypeChoice == 0, isCircle = ov.TypeChoice == 1;
    if (index == 0) {
        row.ref = ReferenceLabel(0);
        it.Reference = 0;
    } else if (index == 1 || (index == 2 && isLine) || index == 3) {
        ov.LinePivotPending = true;
        row.ref = ReferenceLabel(index);
        it.Reference = static_cast<float>(index);
    }
    if (AllChosen()) drawButEnabled_ = true;
    if ((index == 2 || index == 3) && isCircle) {
        op.beep = true;
        ClearLine();
        return op;
    }
    if (index == 1 || ((index == 2 || index == 3) && isLine)) {
        op.close = true;
        ov.CurrentItem = k - 1;
    }
    return op;
}

LineOp LineDialogModel::DrawClose()
{
    Overlay& ov = s_.overlay;
    LineOp op;
    const int k = ItemIndex(ov);
    ov.CurrentItem = k;
    OverlayItem& it = ov.Item[static_cast<size_t>(k)];
    const OverlayItem justBefore = it;
    if (ov.ColourChoice >= 0 && ov.ColourChoice < kColourChoices) it.Colour = ColourValueOfChoice(ov.ColourChoice);
    it.Kind = static_cast<float>(ov.TypeChoice);
    if (AllChosen()) {
        rows_[static_cast<size_t>(k)].edit = CommitItem(s_, false);
        drawButEnabled_ = true;
    }
    CommitChange(k, justBefore, "");
    op.close = true;
    ov.CurrentItem = k + 1;
    if (ov.CurrentItem > kOverlayItems) {
        ov.CurrentItem = kOverlayItems;
        op.beep = true;
    }
    drawButEnabled_ = false;
    ov.LinePivotPending = false;
    ov.TypeChoice = ov.ColourChoice = ov.ReferenceChoice = -1;
    return op;
}

LineOp LineDialogModel::ClearLine()
{
    Overlay& ov = s_.overlay;
    const int k = ItemIndex(ov);
    ov.CurrentItem = k;
    Row& row = rows_[static_cast<size_t>(k)];
    OverlayItem& it = ov.Item[static_cast<size_t>(k)];
    const OverlayItem justBefore = it;
    row.edit = CommitItem(s_, true);
    row.type.clear();
    row.colour.clear();
    row.ref.clear();
    it.Kind = it.Colour = it.Reference = -1;
    CommitChange(k, justBefore, " cleared");
    ResetItemChoices();
    ov.LinePivotPending = false;
    return {};
}

LineOp LineDialogModel::CloseDialog()
{
    // "Draw Close" goes off with the choices, so that a later press cannot
    // store an item with no type.
    ResetItemChoices();
    s_.overlay.LinePivotPending = false;
    LineOp op;
    op.close = true;
    return op;
}

void LineDialogModel::SelectRow(int row)
{
    if (row < 1 || row > kOverlayItems) return;
    s_.overlay.CurrentItem = row;
    ResetItemChoices();
}

void LineDialogModel::ResetItemChoices()
{
    Overlay& ov = s_.overlay;
    ov.TypeChoice = ov.ColourChoice = ov.ReferenceChoice = -1;
    drawButEnabled_ = false;
}

void LineDialogModel::EditExit(int row, int col, const std::string& text)
{
    if (row < 1 || row > kOverlayItems || col < 0 || col > 3) return;
    OverlayItem& it = s_.overlay.Item[static_cast<size_t>(row)];
    const OverlayItem justBefore = it;
    float* fields[4] = {&it.Y1, &it.X1, &it.Y2, &it.X2};
    *fields[col] = Stored(text);
    rows_[static_cast<size_t>(row)].edit[static_cast<size_t>(col)] = text;
    CommitChange(row, justBefore, "");
}

bool LineDialogModel::AcceptKey(int row, int col, const FieldText& field, char key) const
{
    if (key == '\b') return AcceptText(row, col, field, std::string());
    return AcceptText(row, col, field, std::string(1, key));
}

bool LineDialogModel::AcceptText(int row, int col, const FieldText& field, const std::string& text) const
{
    if (row < 1 || row > kOverlayItems) return false;
    // A circle has no third value: its Line2Vert field takes nothing.
    if (col == 2 && rows_[static_cast<size_t>(row)].type == "Circle") return false;
    return NumberEntryAccepted(field, text, true);
}

void LineDialogModel::RefreshLineRows()
{
    for (int r = 1; r <= kOverlayItems; ++r) {
        const OverlayItem& it = s_.overlay.Item[static_cast<size_t>(r)];
        Row& row = rows_[static_cast<size_t>(r)];
        if (it.Kind > -1)
            row.edit = {ItemText(it.Y1), ItemText(it.X1), ItemText(it.Y2), ItemText(it.X2)};
        else
            row.edit = {};
        const std::string type = TypeLabel(RoundedOrNone(it.Kind));
        if (!type.empty()) row.type = type;
        const std::string colour = ColourLabelOfValue(RoundedOrNone(it.Colour));
        if (!colour.empty()) row.colour = colour;
        const std::string ref = ReferenceLabel(RoundedOrNone(it.Reference));
        if (!ref.empty()) row.ref = ref;
    }
}

void LineDialogModel::ClearRowLabels()
{
    for (Row& row : rows_) {
        row.type.clear();
        row.colour.clear();
        row.ref.clear();
    }
}
