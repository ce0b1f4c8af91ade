#include "dialogs/TFrameDi.h"

#include "dialogs/DialogCommon.h"
#include "drawing/DimensionEdit.h"
#include "model/Model.h"
#include "session/DesignSession.h"

#include <QPushButton>

TFrameDi::TFrameDi(AppState& state, DesignSession* designSession, QWidget* parent)
    : TDimensionDialog(state, designSession, parent)
{
    setObjectName(QStringLiteral("FrameDi"));
    setWindowTitle(QStringLiteral("Frame Dimensions"));
    setFixedSize(kWidth, 203);
    for (int k = 1; k <= kFields; ++k) {
        const bool left = k <= 11;
        const int row = left ? k - 1 : k - 12;
        PlaceField(k, left ? kLeftFieldX : kRightFieldX, 13 * row, left ? 0 : kRightButtonX, 13 * row, k <= 20);
    }
    ResetFrame = MakeButton("ResetFrame", QStringLiteral("ResetFrameDim"), kWidth - 98, 152, 89, 25);
    Close1 = MakeButton("Close1", QStringLiteral("Close"), kWidth - 98, 176, 89, 25);
    ResetFrame->installEventFilter(this);
    connect(ResetFrame, &QPushButton::clicked, this, &TFrameDi::ResetFrameClick);
    connect(Close1, &QPushButton::clicked, this, &TFrameDi::Close1Click);
}

std::vector<TDimensionDialog::PaintedText> TFrameDi::PaintedTexts() const
{
    const long double fx = s.view.FontScaleX, fy = s.view.FontScaleY;
    std::vector<PaintedText> out;
    for (int k = 1; k <= kFields; ++k) {
        const bool left = k <= 11;
        const int row = left ? k - 1 : k - 12;
        out.push_back(
            {ToPixel((left ? kLeftLabelX : kRightLabelX) * fx), ToPixel(13.0L * row * fy), DimensionDialogLabel(k)});
    }
    out.push_back({1, ToPixel(164 * fy), "To Show Graphic Position of Variable, Click Small Button"});
    out.push_back({1, ToPixel(177 * fy), "To Select Dynamic Variable, Click Dimension in Gray Area"});
    return out;
}

void TFrameDi::FormActivate() { TDimensionDialog::FormActivate(); }

void TFrameDi::AfterCommit(int k)
{
    if (k == 22 && session) session->ArmRangeChanged();
}

void TFrameDi::WidgetMouseDown(QObject* widget)
{
    if (widget == ResetFrame) ResetFrameMouseDown();
}

void TFrameDi::Reset(bool clearUndo)
{
    ResetFrameDialogModel(s, clearUndo);
    if (session) session->ArmRangeChanged();
    FillFields();
    update();
}

void TFrameDi::ResetFrameMouseDown() { Reset(false); }

void TFrameDi::ResetFrameClick() { Reset(true); }

void TFrameDi::Close1Click() { CloseDialog(); }
