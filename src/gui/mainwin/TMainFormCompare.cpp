// Scaling a design, stating its unit, and comparing it with a reference
// design: "EditDimen > Scale Design…" and "Design Unit", "File > Compare
// With…", "Clear Comparison" and "Reference Ghost".
#include "mainwin/TMainForm.h"

#include "dialogs/TScaleDesign.h"
#include "files/FileMessages.h"
#include "files/NativeFile.h"
#include "files/OlderFile.h"
#include "model/Model.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

#include <memory>

namespace {

QAction* FindSeparator(QMenu* menu, const char* name)
{
    for (QAction* a : menu->actions())
        if (a->isSeparator() && a->objectName() == QLatin1String(name)) return a;
    return nullptr;
}

} // namespace

void TMainForm::BuildCompareMenus()
{
    auto item = [this](QMenu* menu, QAction* before, QAction*& a, const char* name, const char* caption,
                       void (TMainForm::*slot)()) {
        a = new QAction(QString::fromUtf8(caption), menu);
        a->setObjectName(QString::fromLatin1(name));
        menu->insertAction(before, a);
        connect(a, &QAction::triggered, this, slot);
    };
    // File: after the design files, before the pictures.
    QAction* pictures = FindSeparator(File1, "N7");
    QAction* separator = new QAction(File1);
    separator->setSeparator(true);
    separator->setObjectName(QStringLiteral("N8"));
    File1->insertAction(pictures, separator);
    item(File1, pictures, CompareWith, "CompareWith", "Co&mpare With…", &TMainForm::CompareWithClick);
    item(File1, pictures, ClearComparison, "ClearComparison", "C&lear Comparison", &TMainForm::ClearComparisonClick);
    item(File1, pictures, ReferenceGhost, "ReferenceGhost", "Reference &Ghost", &TMainForm::ReferenceGhostClick);
    ReferenceGhost->setCheckable(true);
    connect(File1, &QMenu::aboutToShow, this, &TMainForm::UpdateComparisonItems);

    // EditDimen: the unit after "Scale Design…".
    DesignUnit = new QMenu(QStringLiteral("Design &Unit"), EditDimen1);
    DesignUnit->setObjectName(QStringLiteral("DesignUnit"));
    EditDimen1->insertMenu(FindSeparator(EditDimen1, "N3"), DesignUnit);
    auto* units = new QActionGroup(DesignUnit);
    const struct {
        QAction*& action;
        const char* name;
        const char* caption;
        LengthUnit unit;
    } kUnits[] = {{UnitUnspecified, "UnitUnspecified", "&Unspecified (units)", LengthUnit::Unspecified},
                  {UnitInch, "UnitInch", "&Inches (in)", LengthUnit::Inch},
                  {UnitMillimetre, "UnitMillimetre", "&Millimetres (mm)", LengthUnit::Millimetre}};
    for (const auto& u : kUnits) {
        u.action = DesignUnit->addAction(QString::fromUtf8(u.caption));
        u.action->setObjectName(QString::fromLatin1(u.name));
        u.action->setCheckable(true);
        units->addAction(u.action);
        const LengthUnit unit = u.unit;
        connect(u.action, &QAction::triggered, this, [this, unit] { DesignUnitClick(unit); });
    }
    connect(DesignUnit, &QMenu::aboutToShow, this, &TMainForm::UpdateComparisonItems);
    UpdateComparisonItems();
}

void TMainForm::UpdateComparisonItems()
{
    const bool set = state_.compare.Reference.has_value();
    ClearComparison->setEnabled(set);
    ReferenceGhost->setEnabled(set);
    ReferenceGhost->setChecked(set && state_.compare.GhostOn);
    const LengthUnit u = state_.gear.Unit;
    UnitUnspecified->setChecked(u == LengthUnit::Unspecified);
    UnitInch->setChecked(u == LengthUnit::Inch);
    UnitMillimetre->setChecked(u == LengthUnit::Millimetre);
}

// ------------------------------------------------------------------ scale and unit
void TMainForm::ScaleDesignClick()
{
    if (Forms.ScaleDesign && !Forms.ScaleDesign->isVisible()) Forms.ScaleDesign->exec();
    UpdateComparisonItems();
}

TScaleDesign* NewScaleDesign(TMainForm* m)
{
    auto* w = new TScaleDesign(m->State(), m);
    // The reverse arm's travel and setting change with the design.
    QObject::connect(w, &TScaleDesign::Scaled, m, &TMainForm::ShowRevArmOfModel);
    return w;
}

void TMainForm::DesignUnitClick(LengthUnit unit)
{
    state_.gear.Unit = unit;
    UpdateComparisonItems();
}

// ------------------------------------------------------------------ comparison
void TMainForm::CompareWithClick()
{
    const QString path = ChooseFile(QStringLiteral("OpenDialogWin"));
    if (path.isEmpty()) return;
    const std::string local = QFile::encodeName(path).toStdString();
    const std::string shown = QFileInfo(path).fileName().toStdString();
    const bool older = QFileInfo(path).suffix().compare(QLatin1String("vgd"), Qt::CaseInsensitive) == 0;
    // Loaded on a design of its own, with the checks and the question of an open.
    const auto ref = std::make_unique<AppState>();
    StartupModel(*ref);
    auto load = [&](HugeValues huge) {
        return older ? ImportOlderFile(*ref, local, huge) : OpenNativeFile(*ref, local, huge);
    };
    DesignFileResult r = load(HugeValues::Refuse);
    if (!r.ok && r.values.verdict == ValueVerdict::Huge) {
        QMessageBox ask(QMessageBox::Warning, QApplication::applicationName(),
                        QString::fromStdString(HugeValuesQuestion(shown, r.values)),
                        QMessageBox::Yes | QMessageBox::Cancel, this);
        ask.setObjectName(QStringLiteral("HugeValuesBox"));
        ask.setDefaultButton(QMessageBox::Cancel);
        if (ask.exec() != QMessageBox::Yes) return;
        r = load(HugeValues::Accept);
    }
    if (!r.ok) {
        ShowFileError(OpenFailureMessage(shown, r));
        return;
    }
    state_.compare.Reference = ref->gear;
    state_.compare.ReferenceName = ref->display.DataSetName;
    UpdateComparisonItems();
}

void TMainForm::ClearComparisonClick()
{
    state_.compare = Comparison{};
    UpdateComparisonItems();
}

void TMainForm::ReferenceGhostClick()
{
    state_.compare.GhostOn = state_.compare.Reference.has_value() && !state_.compare.GhostOn;
    UpdateComparisonItems();
}
