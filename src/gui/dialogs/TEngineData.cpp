#include "dialogs/TEngineData.h"

#include "drawing/EngineDataFields.h"
#include "model/Changes.h"
#include "qt/QtEditHooks.h"
#include "session/DesignSession.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The labels with their letters, in the order of the values.
const char* const kLabels[kEngineValueCount] = {
    "&Steam port length",
    "E&xhaust port length",
    "&Discharge coefficient",
    "Clearance &front",
    "Clearance &rear",
    "Steam-&chest pressure",
    "Su&perheat",
    "Exhaust &back pressure",
    "&Atmospheric pressure",
    "Driving &wheel diameter",
    "&Number of cylinders",
};

QString Text(const std::string& s) { return QString::fromStdString(s); }

} // namespace

TEngineData::TEngineData(AppState& state, DesignSession* designSession, QWidget* parent)
    : QDialog(parent), s_(state), session_(designSession)
{
    setObjectName(QStringLiteral("EngineData"));
    setWindowTitle(QStringLiteral("Engine Data"));
    setModal(true);

    auto* grid = new QGridLayout;
    for (int k = 0; k < kEngineValueCount; ++k) {
        auto* e = NewNumberEdit(this, QStringLiteral("Edit") + QString::fromLatin1(EngineValueName(k)));
        e->setMaximumWidth(90);
        e->setAlignment(Qt::AlignRight);
        connect(e, &QLineEdit::editingFinished, this, [this, k] { FieldExit(k); });
        auto* l = new QLabel(QString::fromLatin1(kLabels[k]), this);
        l->setObjectName(QStringLiteral("Label") + QString::fromLatin1(EngineValueName(k)));
        l->setBuddy(e);
        auto* u = new QLabel(this);
        u->setObjectName(QStringLiteral("Unit") + QString::fromLatin1(EngineValueName(k)));
        grid->addWidget(l, k, 0);
        grid->addWidget(e, k, 1);
        grid->addWidget(u, k, 2);
        Edit[static_cast<size_t>(k)] = e;
        Unit[static_cast<size_t>(k)] = u;
    }
    for (int end = 0; end < 2; ++end) {
        auto* n = new QLabel(this);
        n->setObjectName(end == 0 ? QStringLiteral("LeastClearanceFront") : QStringLiteral("LeastClearanceRear"));
        n->setToolTip(QStringLiteral("The room the section drawing leaves between the piston and the cylinder cover "
                                     "at this end's dead centre (bore length, piston width, stroke), in % of the "
                                     "stroke: the clearance cannot be less."));
        grid->addWidget(n, end == 0 ? evClearanceFront : evClearanceRear, 3);
        LeastClearance[static_cast<size_t>(end)] = n;
    }
    grid->setColumnStretch(3, 1);

    EngineText = new QLabel(this);
    EngineText->setObjectName(QStringLiteral("EngineText"));
    EngineText->setWordWrap(true);
    QPalette red = EngineText->palette();
    red.setColor(QPalette::WindowText, QColor(176, 0, 0));
    EngineText->setPalette(red);
    EngineText->setMinimumHeight(EngineText->fontMetrics().height() * 3);
    EngineText->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Close1 = new QPushButton(QStringLiteral("Cl&ose"), this);
    Close1->setObjectName(QStringLiteral("Close1"));
    Close1->setAutoDefault(false);
    connect(Close1, &QPushButton::clicked, this, &TEngineData::Close1Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Close1);

    auto* box = new QVBoxLayout(this);
    box->addLayout(grid);
    box->addWidget(EngineText);
    box->addLayout(buttons);
    setMinimumWidth(560);
}

void TEngineData::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormActivate();
}

void TEngineData::FormActivate()
{
    FillFields();
    ShowNotes();
    Edit[0]->setFocus(Qt::OtherFocusReason);
    Edit[0]->selectAll();
}

void TEngineData::FillFields()
{
    const LengthUnit unit = s_.gear.Unit;
    for (int k = 0; k < kEngineValueCount; ++k) {
        const auto i = static_cast<size_t>(k);
        shown_[i] = EngineFieldText(s_.gear, k);
        Edit[i]->setText(Text(shown_[i]));
        Unit[i]->setText(Text(EngineFieldUnit(k, unit)));
        const QString tip = Text(EngineValueTooltip(k, unit));
        Edit[i]->setToolTip(tip);
        if (auto* l = findChild<QLabel*>(QStringLiteral("Label") + QString::fromLatin1(EngineValueName(k))))
            l->setToolTip(tip);
    }
}

void TEngineData::ShowNotes(const std::string& refused)
{
    QStringList lines;
    if (!refused.empty()) lines << Text(refused);
    if (EngineUnitAssumed(s_.gear.Unit))
        lines << QStringLiteral("The design states no unit: its lengths are taken as inches.");
    for (int end = 0; end < 2; ++end) {
        const ClearanceNote n = LeastClearanceNote(s_.gear, end);
        QLabel* l = LeastClearance[static_cast<size_t>(end)];
        l->setText(Text(n.text));
        l->setStyleSheet(n.below ? QStringLiteral("color: #b00000; font-weight: bold;") : QString());
        if (!n.warning.empty()) lines << Text(n.warning);
    }
    if (const std::string p = EngineProblemText(s_.gear); !p.empty()) lines << Text(p);
    EngineText->setText(lines.join(QLatin1Char('\n')));
}

void TEngineData::FieldExit(int k)
{
    const auto i = static_cast<size_t>(k);
    const EngineFieldEntry entry = ReadEngineField(s_.gear, k, shown_[i], Edit[i]->text().toStdString());
    if (!entry.why.empty()) {
        Edit[i]->setText(Text(shown_[i]));
        ShowNotes(entry.why);
        return;
    }
    if (entry.change) {
        const auto edit = [k, v = entry.value](AppState& s) { SetDesignEngineValue(s.gear, k, v); };
        const std::string name = EngineValueLabel(k);
        if (session_) {
            session_->RecordEdit(ChangeKind::EngineDatum, k, name, edit);
        } else {
            std::vector<float> before = ChangeValues(s_, ChangeKind::EngineDatum, k);
            edit(s_);
            RecordValues(s_, ChangeKind::EngineDatum, k, std::move(before), name);
        }
    }
    // The value as stored, and what it changes beside it.
    shown_[i] = EngineFieldText(s_.gear, k);
    if (Edit[i]->text().toStdString() != shown_[i]) Edit[i]->setText(Text(shown_[i]));
    ShowNotes();
}

void TEngineData::done(int result)
{
    // A field still being typed in is left by closing.
    for (int k = 0; k < kEngineValueCount; ++k)
        if (Edit[static_cast<size_t>(k)]->hasFocus()) FieldExit(k);
    QDialog::done(result);
}

void TEngineData::Close1Click() { accept(); }
