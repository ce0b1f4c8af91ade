// The windows the program creates once at start-up, after the main window, in
// this order. Each is built by a factory defined next to the main window's
// handlers of its feature; a null pointer means the window is not available and
// its commands stay disabled.
#pragma once

class TMainForm;
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
    TClearance* Clearance = nullptr;
};

// Factories (parent: the main window). Dialogs, the balance, design check and optimise windows:
// TMainFormDialogs.cpp;
// diagrams and the valve events table: TMainFormGraphs.cpp; drafting aids and help: TMainFormAids.cpp;
// graphic zoom: TMainFormView.cpp.
TDrivAng* NewDrivAng(TMainForm* main);
TOvalDia* NewOvalDia(TMainForm* main);
TPortDia* NewPortDia(TMainForm* main);
TRefPnts* NewRefPnts(TMainForm* main);
TRevPos* NewRevPos(TMainForm* main);
TSetRevArm* NewSetRevArm(TMainForm* main);
TSineDia* NewSineDia(TMainForm* main);
TSteamDia* NewSteamDia(TMainForm* main);
TStpAng* NewStpAng(TMainForm* main);
TAboutBox* NewAboutBox(TMainForm* main);
TInst* NewInst(TMainForm* main);
TQelSpInst* NewQelSpInst(TMainForm* main);
TFrameDi* NewFrameDi(TMainForm* main);
TCylDimen* NewCylDimen(TMainForm* main);
TGraphZoom* NewGraphZoom(TMainForm* main);
TDrawLines* NewDrawLines(TMainForm* main);
TDataTable* NewDataTable(TMainForm* main);
TValveEvents* NewValveEvents(TMainForm* main);
TBalance* NewBalance(TMainForm* main);
TDesignCheck* NewDesignCheck(TMainForm* main);
TOptimise* NewOptimise(TMainForm* main);
TSensitivity* NewSensitivity(TMainForm* main);
TTolerance* NewTolerance(TMainForm* main);
// Scaling, units and comparison: TMainFormCompare.cpp.
TScaleDesign* NewScaleDesign(TMainForm* main);
// The swept envelope's clearance window: TMainFormWorkshop.cpp.
TClearance* NewClearance(TMainForm* main);
