// "DrawGraphs > Indicator Diagram…": what the gear does to the engine, in two
// panes (analysis/EngineStudy.h, drawing/EnginePictures.h).
//
// "Indicator diagram": the p-V loops of both ends at the notch, direction and
// speed chosen (the wheel's rpm, or the road speed from the wheel diameter in
// mph or km/h), the ideal diagram dotted behind (on or off), the pressure
// absolute or gauge, volume or % of stroke along, with the figures of the
// point beside it. "Performance map": indicated power, tractive effort and
// steam rate against speed (speeds from 10 % to 100 % of the top speed), a
// curve per notch ticked and direction, a comparison reference's in grey, and
// the table of every point, with progress and "Stop".
//
// The window stays beside the main window (it is not modal) and follows the
// live design: each time the session tells that the design's values changed
// (a dimension dialog, a dynamic-variable bar, undo and redo, the engine data,
// an open) or the reference changed, it works the point out again — and the
// map, while its pane is shown — on a copy of the design with the mid gear
// it holds, on a worker thread; a change that comes while one is
// worked out waits for it, so that typing is never held up and the last
// change is always shown. "Copy", "Save CSV…", "Print…" and "Export Picture…"
// act on the pane shown: the figures, the loop as CSV (as --indicator writes
// it) and the picture; the map's table, as CSV (as --performance writes it),
// printed, and its picture.
#pragma once

#include "analysis/EngineStudy.h"
#include "dialogs/TSearchWindow.h"
#include "files/TextTable.h"
#include "model/AppState.h"
#include "platform/DisplayList.h"
#include "platform/FileSystem.h"
#include "qt/QtTableExport.h"

#include <memory>
#include <vector>

class PictureCommands;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QTabWidget;
class QTableWidget;
class QtSearchRunner;
class DesignSession;
enum class SessionEvent;

class TIndicator : public TSearchWindow {
    Q_OBJECT

public:
    TIndicator(AppState& state, DesignSession* designSession, QWidget* parent = nullptr,
               FileSystem& files = SystemFileSystem());
    ~TIndicator() override;

    static QString CaptionHead();

    QTabWidget* Panes = nullptr; // "IndicatorPane", "MapPane"
    QWidget *IndicatorPane = nullptr, *MapPane = nullptr;
    // The indicator pane.
    QComboBox* NotchBox = nullptr;     // "normal", "0" .. "18"
    QComboBox* DirectionBox = nullptr; // "forward", "reverse"
    QLineEdit* SpeedEdit = nullptr;    // rpm of the driving wheels
    QLineEdit* RoadSpeedEdit = nullptr;
    QComboBox* RoadUnitBox = nullptr; // "mph", "km/h"
    QCheckBox* IdealBox = nullptr;
    QComboBox* PressureBox = nullptr; // "absolute", "gauge"
    QComboBox* AxisBox = nullptr;     // "volume", "% of stroke"
    QLabel* IndicatorPicture = nullptr;
    QLabel* IndicatorText = nullptr;
    // The map pane.
    QLineEdit* TopSpeedEdit = nullptr;
    QLineEdit* SpeedsEdit = nullptr;
    QCheckBox *MapForward = nullptr, *MapReverse = nullptr;
    QListWidget* MapNotches = nullptr; // checkable: "normal", "0" .. "18"
    QPushButton *MapRunBut = nullptr, *MapStopBut = nullptr;
    QProgressBar* Progress = nullptr;
    QLabel* MapPicture = nullptr;
    QTableWidget* MapGrid = nullptr;
    QLabel* MapText = nullptr;
    // Both.
    QPushButton *CopyBut = nullptr, *SaveCsvBut = nullptr, *PrintBut = nullptr, *ExportPictureBut = nullptr,
                *CloseBut = nullptr;
    PictureCommands* Pictures = nullptr;

    // Replaces the save dialog when set (tests).
    FileDialogHookFn FileDialogHook;

    // A point or a map is being worked out, or waits to be.
    bool Computing() const;
    bool Mapping() const;
    // The point and the maps shown (empty before the first).
    const IndicatorPoint& Point() const { return point_; }
    const EngineMaps& Maps() const { return maps_; }
    // The map's table as its CSV: header, units, a row a point.
    const std::vector<TextRow>& MapRows() const { return mapRows_; }
    // The picture of the pane shown.
    const DisplayList& ShownPicture() const;
    // The request the controls make; false with the reason when they make none.
    bool ReadPointRequest(IndicatorRequest& request, std::string& why) const;
    bool ReadMapRequest(EngineMapRequest& request, std::string& why) const;

public slots:
    // Every opening: the point worked out again (and the map, while shown).
    void FormActivate() override;
    void PointSettingChanged();
    void SpeedEdited();
    void RoadSpeedEdited();
    void ViewChanged();
    void PaneChanged();
    void MapSettingChanged();
    void MapRunButClick();
    void MapStopButClick();
    void CopyButClick();
    void SaveCsvButClick();
    void PrintButClick();
    void ExportPictureButClick();
    void CloseButClick();

protected:
    void hideEvent(QHideEvent* e) override;

private:
    QWidget* BuildIndicatorPane();
    QWidget* BuildMapPane();
    void Follow(SessionEvent event);
    void RequestPoint();
    void PointDone(IndicatorPoint&& point);
    void ShowPoint();
    void RequestMap(bool asked = false);
    void MapDone(EngineMaps&& maps);
    void ShowMap();
    void StopAll();
    void UpdateButtons();
    double WheelMetres() const;
    RoadUnit ChosenRoadUnit() const;
    bool OnMap() const;

    AppState& s_;
    FileSystem& files_;
    QtSearchRunner* mapRunner_ = nullptr;

    IndicatorPoint point_;
    bool pointDue_ = false; // a change came while a point was worked out

    EngineMaps maps_;
    std::vector<TextRow> mapRows_;
    std::shared_ptr<MapControl> mapControl_;
    int mapTotal_ = 1;
    bool mapDue_ = false;  // a change came while the map was worked out: again, the result not shown
    bool mapStale_ = true; // the design or settings changed since the map shown
    std::string referenceName_;

    DisplayList indicatorShown_, mapShown_;
};
