// The whole program state as plain data.
//
// Everything the simulator knows lives in one AppState that the program owns
// once (main.cpp) and hands by reference to the windows and to the model
// operations. Tests build a fresh one with `AppState s; StartupModel(s);`.
//
// Storage rule: every model value is a 32-bit float; expressions are evaluated
// in long double and rounded once when stored.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// ---------------------------------------------------------------- constants
inline constexpr long double kPi = 3.1415926535897932385L;
inline constexpr long double kPiHalf = 1.5707963267948966193L;

inline constexpr int kPointCount = 27;   // PointX/PointY[0..26]
inline constexpr int kScreenPoints = 21; // points 0..20 are mapped every tick
inline constexpr int kCylDimCount = 22;  // CylDims storage slots
inline constexpr int kOverlayItems = 20; // OverlayItem[1..20]
inline constexpr int kUndoEntries = 21;  // undo entries 0..20
inline constexpr int kDynSlots = 5;      // dynamic-variable slots 0..4

// Name of an empty dynamic-variable slot: 13 blanks and two question marks.
inline const std::string kEmptySlotName = "             ??";

// Storage indices of CylDims (the cylinder dialog's code order differs).
enum CylIndex : int {
    ciCylCtrToDriverCtr = 0,
    ciCylBoreDia = 1,
    ciCylBoreLength = 2,
    ciCylSpare = 3,
    ciCylSteamPortWidth = 4,
    ciPistonCtrToCrosshead = 5,
    ciPistonWidth = 6,
    ciValveSurfaceToCylCl = 7,
    ciValveStemClToCylCl = 8,
    ciExhaustPortWidth = 9,
    ciBridgeWidthRear = 10,
    ciSteamPortWidthRear = 11,
    ciValveChamberHeight = 12,
    ciValveChamberLength = 13,
    ciValveHeight = 14,
    ciValveLengthRearHalf = 15,
    ciValveExhCavityRearHalf = 16,
    ciValveCtrToJoint = 17,
    ciBridgeWidthFront = 18,
    ciSteamPortWidthFront = 19,
    ciValveLengthFrontHalf = 20,
    ciValveExhCavityFrontHalf = 21,
};

struct ScreenPt {
    int x = 0;
    int y = 0;
};

// ------------------------------------------------------------ gear model
// Dimension set, pivot table, reverse arm, solver outputs and port values.
// The unit of every length of a design.
enum class LengthUnit : int { Unspecified = 0, Inch = 1, Millimetre = 2 };

// The unit as the program's own texts write it: "units" while unspecified,
// else "in" or "mm" (e.g. the events table's "Lead front (units)").
inline const char* LengthUnitText(LengthUnit u)
{
    switch (u) {
    case LengthUnit::Inch: return "in";
    case LengthUnit::Millimetre: return "mm";
    case LengthUnit::Unspecified: break;
    }
    return "units";
}

// The engine the gear drives, for the steam performance model: what the
// dimensions do not say. Kept with the design only when it has been given
// (Gear::HasEngine); model/EngineData.h has each value's name, unit and
// default. Lengths are in the design's unit, pressures and temperatures in
// the unit's pressure and temperature (psi and °F for inches, bar and °C for
// millimetres; a design of unspecified unit counts as inches).
struct EngineData {
    float SteamPortLength = 0;      // steam port length across the cylinder
    float ExhaustPortLength = 0;    // exhaust port length across the cylinder
    float DischargeCoefficient = 0; // of the port openings
    float ClearanceFront = 0;       // % of the swept volume
    float ClearanceRear = 0;        // % of the swept volume
    float ChestPressure = 0;        // steam-chest pressure, gauge
    float Superheat = 0;            // degrees above saturation (0: saturated steam)
    float BackPressure = 0;         // exhaust back pressure, gauge
    float AtmosphericPressure = 0;  // absolute
    float WheelDiameter = 0;        // driving wheel
    float Cylinders = 0;            // cranks at 90 degrees (two) or spread evenly
};

struct Gear {
    // Frame dimensions (codes 1..22). Codes 13/14 are PointY[8]/PointX[8],
    // codes 18/19 are PointY[15]/PointX[15]; they have no member here.
    float CrankDiskDia = 0;    // 1
    float Stroke = 0;          // 2
    float MainRodLength = 0;   // 3
    float EccentricDiam = 0;   // 4
    float EccCircleDiam = 0;   // 5
    float EccAngleDeg = 0;     // 6
    float EccStrapUpper = 0;   // 7
    float EccStrapLower = 0;   // 8
    float EccStrapHorz = 0;    // 9
    float EccRodLength = 0;    // 10
    float RevHeadUpper = 0;    // 11
    float RevHeadArmLower = 0; // 12
    float RockerLower = 0;     // 15
    float RockerUpperVert = 0; // 16
    float RockerUpperHorz = 0; // 17
    float ValveRodLength = 0;  // 20
    float RevArmNormal = 0;    // 21
    float RevArmMax = 0;       // 22

    // Cylinder values in storage order (see CylIndex); code 102 is PointY[3].
    std::array<float, kCylDimCount> CylDims{};

    // Pivot table, world coordinates, y upwards.
    std::array<float, kPointCount> PointX{};
    std::array<float, kPointCount> PointY{};
    // Screen pixels of points 0..20 for the current tick.
    std::array<int, kScreenPoints> ScreenX{};
    std::array<int, kScreenPoints> ScreenY{};

    // Reverse arm: RevArm[0] is RevArmCentre, RevArm[1..9] RevArmPositions.
    float RevArmPos = 0;
    std::array<float, 10> RevArm{};
    float& RevArmCentre() { return RevArm[0]; }
    float RevArmCentre() const { return RevArm[0]; }

    // Driver angle in degrees (animation input of the solver).
    float DriverAngle = 0;
    // The driver angle the last tick solved at: the angle of the frame shown,
    // one step behind DriverAngle while the gear runs.
    float SolvedDriverAngle = 0;

    // What the lengths of the design are measured in (kept in the design file).
    LengthUnit Unit = LengthUnit::Unspecified;
    // The engine data, when the design has them (kept in the design file
    // only then, so that a design without them saves as it always did).
    bool HasEngine = false;
    EngineData Engine{};

    // Error signalling.
    bool ErrorBeepOn = true;
    bool SolveError = false;
    // The guards that clamped in the last solve and the openings after it,
    // one bit each (SolveGuardBit), whether or not the error beeps.
    std::uint32_t SolveClamps = 0;

    // Angles kept by the solver for the drawing (radians).
    float RevHeadAngle = 0;
    float StrapAngle = 0;

    // End-of-solve valve values.
    float FrontSteamOpenLine = 0, FrontSteamMaxLine = 0, FrontExhOpenLine = 0;
    float RearSteamOpenLine = 0, RearSteamMaxLine = 0, RearExhOpenLine = 0;
    float ValveCen = 0, RearLeadBase = 0, FrontLeadBase = 0;
    float FrontSteamLap = 0, RearSteamLap = 0, FrontExhClear = 0, RearExhClear = 0;

    // Per-tick openings and piston position (0..640).
    float FrontSteamOpen = 0, RearSteamOpen = 0, FrontExhOpen = 0, RearExhOpen = 0;
    float PistonPx = 0;

    // Previous-sample copies shared by the steam display, the port graph and
    // the steam diagram.
    float PrevPistonPx = 0;
    float PrevFrontSteamOpen = 0, PrevRearSteamOpen = 0;
    float PrevFrontExhOpen = 0, PrevRearExhOpen = 0;

    // Screen outlines of the current tick.
    std::array<ScreenPt, 14> CylOutline{};
    std::array<ScreenPt, 10> PortOutline{};
    std::array<ScreenPt, 4> PistonOutline{};
    ScreenPt PistonRodEnd{};
    ScreenPt ValveRearEnd{};
    std::array<ScreenPt, 8> ValveOutline{};

    // Default stores, written once at start-up.
    // FrameDefaults: [0..21] frame codes 1..22 (13/14/18/19 as the point
    // coordinates), [22] CylClAboveDriver, [23] the default centre.
    std::array<float, 24> FrameDefaults{};
    std::array<float, kCylDimCount> CylDefaults{};

    // Named access to the cylinder storage.
    float& Cyl(CylIndex i) { return CylDims[i]; }
    float Cyl(CylIndex i) const { return CylDims[i]; }
};

// ------------------------------------------------------------ animation
// The sense the driver turns in: forward while the reverse arm stands at or
// above mid gear, else reverse.
enum class RunDirection { Fwd, Rev };

struct Animation {
    float ActiveStep = 10;
    float SelectedStep = 10;
    RunDirection Direction = RunDirection::Fwd;
    bool StepBarArmed = true;
};

// ------------------------------------------------------------ view
struct View {
    float ViewScale = 22, ViewOffsetX = 100, ViewOffsetY = 260;
    float PrevScale = 22, PrevOffsetX = 100, PrevOffsetY = 260;
    float HomeScale = 22, HomeOffsetX = 100, HomeOffsetY = 260;
    float SavedScale = 22, SavedOffsetX = 100, SavedOffsetY = 260;
    std::array<float, 21> PresetTable{};
    float FontScaleX = 1, FontScaleY = 1;
    float GraphicZoom = 7.5f;
    // Last and previous positions of the stepper bars.
    int PanVertLast = 0, PanVertPrev = 0;
    int PanHorzLast = 0, PanHorzPrev = 0;
    int ZoomLast = 0, ZoomPrev = 0;
    int Ref1VertLast = 0, Ref1VertPrev = 0;
    int Ref1HorzLast = 0, Ref1HorzPrev = 0;
    int Ref2VertLast = 0, Ref2VertPrev = 0;
    int Ref2HorzLast = 0, Ref2HorzPrev = 0;
};

// ------------------------------------------------------------ display switches
struct PartOutline; // model/GearParts.h

struct DisplaySwitches {
    bool SteamDisplayOn = false;
    bool ScreenDataOn = true;
    bool RefPointsOn = false;
    bool PivotDataOn = false;
    int LineWidth = 1;
    std::string DataSetName = "Nominal";
    // The outlines of the space the moving parts sweep, drawn faintly behind
    // the gear while SweptEnvelopeOn (the main window measures them off its
    // thread and puts them here; none until then).
    bool SweptEnvelopeOn = false;
    std::shared_ptr<const std::vector<PartOutline>> SweptOutlines;
};

// ------------------------------------------------------------ steam display
enum class ChamberPhase { None, ExpansionNext, CompressionNext };

struct SteamDisplay {
    ChamberPhase FrontPhase = ChamberPhase::None;
    ChamberPhase RearPhase = ChamberPhase::None;
    float FrontSteamDensity = 20, RearSteamDensity = 20;
    bool FrontBeatArmed = false, RearBeatArmed = false;
    float FrontBeatDensity = 0, RearBeatDensity = 0;
    std::string FrontCutOffText, RearCutOffText;
    int FrontCutOffTicks = 0, RearCutOffTicks = 0;
    int ErrorTicks = 0;
};

// ------------------------------------------------------------ highlight view
struct Highlight {
    int HighlightDim = 0;
    int HighlightTicks = 0;
    int BlinkCount = 0;
    bool ReopenFrameDialog = true;
};

// ------------------------------------------------------------ pivots
struct Pivots {
    int PivotSlot = 1;
    bool PivotSlotPending = false;
    std::array<bool, 7> PivotSlotSet{}; // [1..6]
    std::array<float, 7> PivotOfSlot{}; // [1..6], point index as a real
    int NearestPoint = 0;
    int MouseX = 0, MouseY = 0;
    bool LeftDownSeen = false;
};

// ------------------------------------------------------------ graphs
struct GraphSettings {
    float GraphVerticalScale = 1.5f;
    float GraphRevArmPos = 0;
    int GraphPosCount = 0;
    bool GraphRedrawPending = false;
    char PortGraphMode = 'F';
    bool PortGraphAnnotate = true;
};

// Steam diagram model state (reset at the start of each draw).
struct SteamDiagramState {
    float FrontPressure = 0, RearPressure = 0;
    float PrevFrontPressure = 0, PrevRearPressure = 0;
    float FrontReleasePressure = 0, RearReleasePressure = 0;
    char FrontPhase = '1', RearPhase = '3';
    bool FrontLabelArmed = true, RearLabelArmed = true;
    int CurveNumber = 0;
};

// ------------------------------------------------------------ overlay
struct OverlayItem {
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    float Pivot1X0 = 0, Pivot1Y0 = 0, Pivot2X0 = 0, Pivot2Y0 = 0;
    float Kind = -1, Colour = -1, Reference = -1;
    float Pivot1Index = 0, Pivot2Index = 0;
    // A keep-out shape: a line or circle the parts of the gear must clear.
    bool KeepOut = false;
};

struct Overlay {
    std::array<OverlayItem, kOverlayItems + 1> Item{}; // [1..20]
    // The item the lines dialog began to change and has not committed yet
    // (0: none), as it was before: the undo record of the commit takes it
    // back to this.
    int UncommittedItem = 0;
    OverlayItem Uncommitted{};
    int CurrentItem = 1;
    float CapturedRefX = 0, CapturedRefY = 0;
    bool LinePivotPending = false;
    // The line dialog's current radio choices (-1 = none), read by the main
    // window's mouse handler and frame drawing.
    int TypeChoice = -1, ColourChoice = -1, ReferenceChoice = -1;
};

// ------------------------------------------------------------ dynamic variables and undo
struct DynSlot {
    int Code = 0;
    float Value = 0;
    std::string Name = kEmptySlotName;
};

// The design part of the state as a change of the whole design (a scaling)
// leaves it: the gear's dimensions, pivots, reverse arm and unit, the view
// and its presets, the graphs' scale and last position, the lines and circles.
struct WholeDesign {
    Gear gear;
    View view;
    float GraphVerticalScale = 0;
    float GraphRevArmPos = 0;
    std::array<OverlayItem, kOverlayItems + 1> Items{};
};

// The code of an undo record of a change of the whole design (no dimension
// has it).
inline constexpr int kWholeDesignCode = 1000;

// What kind of change an undo record takes back (model/Changes.h). A
// dimension and a change of the whole design keep their values in the fields
// below; the other kinds keep the values of what they changed in Before and
// After.
enum class ChangeKind : int {
    None = 0,    // no record (or one made by hand, read as a dimension's)
    Dimension,   // a dimension: Code its code, Old and New its values
    WholeDesign, // a scaling: Code kWholeDesignCode, WholeBefore and WholeAfter
    Unit,        // the unit of the design's lengths
    LineItem,    // a line or circle of the overlay: Code its number (1..20)
    EngineDatum, // an engine value (model/EngineData.h): Code its index; the values whether the design has
                 // engine data, then every engine value
    KeepOut,     // the keep-out flag of a line or circle: Code its number (1..20)
};

struct UndoEntry {
    ChangeKind Kind = ChangeKind::None;
    int Code = 0;
    float Old = 0;
    float New = 0;
    std::string Name;
    // The record's place in the order records are made (1, 2, ...), so that
    // a dimension dialog can tell the records made while it was open.
    std::uint64_t Serial = 0;
    // A record of a change whose dialog Close (or balance applied) moved the
    // reverse arm to mid gear: what the re-centring rewrote, as it was just
    // before, put back when the record is undone.
    bool RestoresArm = false;
    float ArmPosBefore = 0;
    std::array<float, 4> ArmBefore{}; // RevArm[0..3]: centre, mid gear, the two normal notches
    // A record of a change of the whole design (Code kWholeDesignCode): the
    // design before and after it; undoing it puts the design back as before.
    std::shared_ptr<const WholeDesign> WholeBefore{}, WholeAfter{};
    // What the undo of the record replaced, kept when it is undone so that a
    // redo puts it back: the dimension's value and (RestoresArm) the arm.
    float ValueAfter = 0;
    float ArmPosAfter = 0;
    std::array<float, 4> ArmAfter{};
    // A record of another kind: the values of what it changed, before the
    // change and after it (after an undo: what the undo replaced).
    std::vector<float> Before, After;
};

struct DynVars {
    std::array<DynSlot, kDynSlots> Slot{};
    int DynVarSlot = 1;
    float BarIncrement = 0.001f;
    std::array<int, kDynSlots> BarLast{};
    std::array<int, kDynSlots> BarPrev{};
    float SlotValueOnEnter = 0;
    std::array<UndoEntry, kUndoEntries> Undo{};
    int UndoCount = 0;
    // The records undone, to redo: Redo[0] is the one undone last; RedoCount
    // of them (at most kUndoEntries - 1). A new record empties the list.
    std::array<UndoEntry, kUndoEntries - 1> Redo{};
    int RedoCount = 0;
    std::uint64_t UndoSerial = 0; // the serial of the newest record made (never reset)
    bool EditDirty = false;
    bool DynVarsOn = false;
    bool UndoOn = false;
    bool UndoButtonsEnabled = false; // the five "UnDo" buttons
};

// ------------------------------------------------------------ comparison
// A second design that the events table, the diagrams and (when GhostOn) the
// main window show beside this one. It is loaded as any design is opened and
// never edited.
struct Comparison {
    std::optional<Gear> Reference;
    std::string ReferenceName; // its data set name, as a caption shows it
    bool GhostOn = false;      // the main window draws it as a grey ghost
};

// ------------------------------------------------------------ everything
struct AppState {
    Gear gear;
    Animation anim;
    View view;
    DisplaySwitches display;
    SteamDisplay steam;
    Highlight highlight;
    Pivots pivots;
    GraphSettings graph;
    SteamDiagramState steamDia;
    Overlay overlay;
    DynVars dyn;
    Comparison compare;
};
