// The windows the program creates once at start-up, after the main window, in
// this order (TMainForm::CreateChildWindows), each with the design session it
// works on; a null pointer means the window is not available and its commands
// stay disabled.
#pragma once

class QObject;
class TDrivAng;
class TOvalDia;
class TPortDia;
class TRefPnts;
class TRevPos;
class TSetRevArm;
class TSineDia;
class TSteamDia;
class TStpAng;
class TAboutBox;
class TInst;
class TQelSpInst;
class TFrameDi;
class TCylDimen;
class TGraphZoom;
class TDrawLines;
class TDataTable;
class TValveEvents;
class TBalance;
class TDesignCheck;
class TOptimise;
class TSensitivity;
class TTolerance;
class TScaleDesign;
class TEngineData;
class TIndicator;
class TClearance;

struct ChildWindows {
    TDrivAng* DrivAng = nullptr;
    TOvalDia* OvalDia = nullptr;
    TPortDia* PortDia = nullptr;
    TRefPnts* RefPnts = nullptr;
    TRevPos* RevPos = nullptr;
    TSetRevArm* SetRevArm = nullptr;
    TSineDia* SineDia = nullptr;
    TSteamDia* SteamDia = nullptr;
    TStpAng* StpAng = nullptr;
    TAboutBox* AboutBox = nullptr;
    TInst* Inst = nullptr;
    TQelSpInst* QelSpInst = nullptr;
    TFrameDi* FrameDi = nullptr;
    TCylDimen* CylDimen = nullptr;
    TGraphZoom* GraphZoom = nullptr;
    TDrawLines* DrawLines = nullptr;
    TDataTable* DataTable = nullptr;
    TValveEvents* ValveEvents = nullptr;
    TBalance* Balance = nullptr;
    TDesignCheck* DesignCheck = nullptr;
    TOptimise* Optimise = nullptr;
    TSensitivity* Sensitivity = nullptr;
    TTolerance* Tolerance = nullptr;
    TScaleDesign* ScaleDesign = nullptr;
    TEngineData* EngineData = nullptr;
    TIndicator* Indicator = nullptr;
    TClearance* Clearance = nullptr;
};

// The child windows of a main window, found by their types (the screenshots
// tool and the tests reach them so).
ChildWindows ChildWindowsOf(const QObject& main);
