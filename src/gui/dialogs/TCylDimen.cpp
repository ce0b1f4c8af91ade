#include "dialogs/TCylDimen.h"

#include "dialogs/DialogCommon.h"
#include "drawing/DimensionEdit.h"
#include "model/Model.h"

#include <QPushButton>

TCylDimen::TCylDimen(AppState& state, DesignSession* designSession, QWidget* parent)
    : TDimensionDialog(state, designSession, parent)
{
    setObjectName(QStringLiteral("CylDimen"));
    setWindowTitle(QStringLiteral("Cylinder Dimensions"));
    setFixedSize(kWidth, 230);
    for (int k = 1; k <= kFields; ++k) {
        int ex, ey, bx, by;
        if (k <= 12) {
            // Field 6 and those below it sit one line lower: the piston rod
            // label takes two lines.
            ex = kLeftFieldX;
            ey = k <= 5 ? 13 * (k - 1) : 13 * k;
            bx = 0;
            by = k <= 6 ? 13 * (k - 1) : 13 * k;
        } else {
            ex = kRightFieldX;
            ey = k <= 21 ? 13 * (k - 13) : 130;
            bx = kRightButtonX;
            by = 13 * (k - 13);
        }
        PlaceField(k, ex, ey, bx, by, true);
    }
    Reset1 = MakeButton("Reset1", QStringLiteral("ResetCylDim"), kWidth - 92, 168, 90, 25);
    Close1 = MakeButton("Close1", QStringLiteral("Close"), kWidth - 92, 192, 90, 25);
    Reset1->installEventFilter(this);
    connect(Reset1, &QPushButton::clicked, this, &TCylDimen::ResetCylClick);
    connect(Close1, &QPushButton::clicked, this, &TCylDimen::Close1Click);
}

std::vector<TDimensionDialog::PaintedText> TCylDimen::PaintedTexts() const
{
    const long double fx = s.view.FontScaleX, fy = s.view.FontScaleY;
    std::vector<PaintedText> out;
    auto line = [&](long double x, int row, const std::string& text) {
        out.push_back({ToPixel(x * fx), ToPixel(13.0L * row * fy), text});
    };
    int row = 0;
    for (int code = 101; code <= 112; ++code) {
        line(kLeftLabelX, row++, DimensionDialogLabel(code));
        if (code == 106) line(82, row++, "(Piston Rod)");
    }
    row = 0;
    for (int code = 113; code <= 122; ++code) line(kRightLabelX, row++, DimensionDialogLabel(code));
    line(kRightLabelX + 62, row, "  (Valve Stem)");
    out.push_back({1, ToPixel(190 * fy), "To Show Graphic Position of Variable, Click Small Button"});
    out.push_back({1, ToPixel(203 * fy), "To Select a Dynamic Variable, Click Dimension in Gray Area"});
    return out;
}

void TCylDimen::FormActivate() { TDimensionDialog::FormActivate(); }

void TCylDimen::WidgetMouseDown(QObject* widget)
{
    if (widget == Reset1) Reset1MouseDown();
}

void TCylDimen::Reset(bool clearUndo)
{
    ResetCylinderDialogModel(s, clearUndo);
    FillFields();
    update();
}

void TCylDimen::Reset1MouseDown() { Reset(false); }

void TCylDimen::ResetCylClick() { Reset(true); }

void TCylDimen::Close1Click() { CloseDialog(); }
