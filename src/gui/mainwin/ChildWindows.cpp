#include "mainwin/ChildWindows.h"

#include "aids/TAboutBox.h"
#include "aids/TDataTable.h"
#include "aids/TDrawLines.h"
#include "aids/TInst.h"
#include "aids/TQelSpInst.h"
#include "dialogs/TBalance.h"
#include "dialogs/TClearance.h"
#include "dialogs/TCylDimen.h"
#include "dialogs/TDesignCheck.h"
#include "dialogs/TDrivAng.h"
#include "dialogs/TEngineData.h"
#include "dialogs/TFrameDi.h"
#include "dialogs/TOptimise.h"
#include "dialogs/TRevPos.h"
#include "dialogs/TScaleDesign.h"
#include "dialogs/TSensitivity.h"
#include "dialogs/TStpAng.h"
#include "dialogs/TTolerance.h"
#include "graphs/TIndicator.h"
#include "graphs/TOvalDia.h"
#include "graphs/TPortDia.h"
#include "graphs/TSetRevArm.h"
#include "graphs/TSineDia.h"
#include "graphs/TSteamDia.h"
#include "graphs/TValveEvents.h"
#include "mainwin/TGraphZoom.h"
#include "mainwin/TRefPnts.h"

ChildWindows ChildWindowsOf(const QObject& main)
{
    ChildWindows f;
    f.DrivAng = main.findChild<TDrivAng*>();
    f.OvalDia = main.findChild<TOvalDia*>();
    f.PortDia = main.findChild<TPortDia*>();
    f.RefPnts = main.findChild<TRefPnts*>();
    f.RevPos = main.findChild<TRevPos*>();
    f.SetRevArm = main.findChild<TSetRevArm*>();
    f.SineDia = main.findChild<TSineDia*>();
    f.SteamDia = main.findChild<TSteamDia*>();
    f.StpAng = main.findChild<TStpAng*>();
    f.AboutBox = main.findChild<TAboutBox*>();
    f.Inst = main.findChild<TInst*>();
    f.QelSpInst = main.findChild<TQelSpInst*>();
    f.FrameDi = main.findChild<TFrameDi*>();
    f.CylDimen = main.findChild<TCylDimen*>();
    f.GraphZoom = main.findChild<TGraphZoom*>();
    f.DrawLines = main.findChild<TDrawLines*>();
    f.DataTable = main.findChild<TDataTable*>();
    f.ValveEvents = main.findChild<TValveEvents*>();
    f.Balance = main.findChild<TBalance*>();
    f.DesignCheck = main.findChild<TDesignCheck*>();
    f.Optimise = main.findChild<TOptimise*>();
    f.Sensitivity = main.findChild<TSensitivity*>();
    f.Tolerance = main.findChild<TTolerance*>();
    f.ScaleDesign = main.findChild<TScaleDesign*>();
    f.EngineData = main.findChild<TEngineData*>();
    f.Indicator = main.findChild<TIndicator*>();
    f.Clearance = main.findChild<TClearance*>();
    return f;
}
