// The design's unit and the comparison with a reference design: "EditDimen >
// Design Unit", "File > Compare With…", "Clear Comparison" and "Reference
// Ghost". The session does the work; the menu items follow it.
#include "mainwin/TMainForm.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

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
    auto item = [this](QMenu* menu, QAction* before, const char* name, const char* caption,
                       std::function<void()> slot) {
        auto* a = new QAction(QString::fromUtf8(caption), menu);
        a->setObjectName(QString::fromLatin1(name));
        menu->insertAction(before, a);
        connect(a, &QAction::triggered, this, std::move(slot));
        return a;
    };
    // File: after the design files, before the pictures.
    QAction* pictures = FindSeparator(File1, "N7");
    auto* separator = new QAction(File1);
    separator->setSeparator(true);
    separator->setObjectName(QStringLiteral("N8"));
    File1->insertAction(pictures, separator);
    item(File1, pictures, "CompareWith", "Co&mpare With…", [this] { CompareWithClick(); });
    item(File1, pictures, "ClearComparison", "C&lear Comparison", [this] { session_.ClearComparison(); });
    item(File1, pictures, "ReferenceGhost", "Reference &Ghost", [this] {
        session_.SetReferenceGhost(!state_.compare.GhostOn);
    })->setCheckable(true);
    connect(File1, &QMenu::aboutToShow, this, &TMainForm::UpdateComparisonItems);

    // EditDimen: the unit after "Scale Design…".
    auto* unitMenu = new QMenu(QStringLiteral("Design &Unit"), EditDimen1);
    unitMenu->setObjectName(QStringLiteral("DesignUnit"));
    EditDimen1->insertMenu(FindSeparator(EditDimen1, "N3"), unitMenu);
    auto* units = new QActionGroup(unitMenu);
    const struct {
        const char* name;
        const char* caption;
        LengthUnit unit;
    } kUnits[] = {{"UnitUnspecified", "&Unspecified (units)", LengthUnit::Unspecified},
                  {"UnitInch", "&Inches (in)", LengthUnit::Inch},
                  {"UnitMillimetre", "&Millimetres (mm)", LengthUnit::Millimetre}};
    for (const auto& u : kUnits) {
        QAction* a = unitMenu->addAction(QString::fromUtf8(u.caption));
        a->setObjectName(QString::fromLatin1(u.name));
        a->setCheckable(true);
        units->addAction(a);
        const LengthUnit unit = u.unit;
        connect(a, &QAction::triggered, this, [this, unit] { session_.SetUnit(unit); });
    }
    connect(unitMenu, &QMenu::aboutToShow, this, &TMainForm::UpdateComparisonItems);
    UpdateComparisonItems();
}

void TMainForm::UpdateComparisonItems()
{
    const bool set = state_.compare.Reference.has_value();
    Child<QAction>("ClearComparison")->setEnabled(set);
    QAction* ghost = Child<QAction>("ReferenceGhost");
    ghost->setEnabled(set);
    ghost->setChecked(set && state_.compare.GhostOn);
    const LengthUnit u = state_.gear.Unit;
    Child<QAction>("UnitUnspecified")->setChecked(u == LengthUnit::Unspecified);
    Child<QAction>("UnitInch")->setChecked(u == LengthUnit::Inch);
    Child<QAction>("UnitMillimetre")->setChecked(u == LengthUnit::Millimetre);
}

void TMainForm::CompareWithClick()
{
    const QString path = ChooseFile(QStringLiteral("OpenDialogWin"));
    if (!path.isEmpty()) session_.Compare(path.toStdString());
}
