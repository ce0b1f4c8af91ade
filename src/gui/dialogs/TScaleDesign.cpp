#include "dialogs/TScaleDesign.h"
#include "session/DesignSession.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// The scales and gauges offered; any other may be typed.
const char* const kScales[] = {"full size", "1:8",   "1:12",    "1:16",   "1:24",   "4 ft 8½ in", "7¼ in", "5 in",
                               "3½ in",     "2½ in", "1435 mm", "184 mm", "127 mm", "89 mm",      "64 mm", "45 mm"};

QComboBox* ScaleCombo(QWidget* parent, const char* name, const char* chosen)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    for (const char* s : kScales) c->addItem(QString::fromUtf8(s));
    c->setCurrentText(QString::fromUtf8(chosen));
    c->setMaxVisibleItems(16);
    return c;
}

const char* UnitSentence(LengthUnit u)
{
    switch (u) {
    case LengthUnit::Inch: return "The design's lengths are in inches (in).";
    case LengthUnit::Millimetre: return "The design's lengths are in millimetres (mm).";
    case LengthUnit::Unspecified: break;
    }
    return "The design does not say what its lengths are measured in (units).";
}

} // namespace

TScaleDesign::TScaleDesign(AppState& state, DesignSession* session, QWidget* parent)
    : QDialog(parent), s_(state), session_(session)
{
    setObjectName(QStringLiteral("TScaleDesign"));
    setModal(true);
    setWindowTitle(CaptionHead());

    auto radio = [this](const char* name, const QString& text) {
        auto* r = new QRadioButton(text, this);
        r->setObjectName(QString::fromLatin1(name));
        return r;
    };
    auto label = [this](const char* name, const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setBuddy(buddy);
        return l;
    };
    ByFactor = radio("ByFactor", QStringLiteral("By a &factor"));
    ByScales = radio("ByScales", QStringLiteral("From a &scale or gauge to another"));
    ByConversion = radio("ByConversion", QStringLiteral("&Unit conversion"));
    ByFactor->setChecked(true);

    FactorEdit = new QLineEdit(this);
    FactorEdit->setObjectName(QStringLiteral("FactorEdit"));
    FactorEdit->setMaximumWidth(120);
    connect(FactorEdit, &QLineEdit::textChanged, this, [this] {
        if (!ByFactor->isChecked()) ByFactor->setChecked(true);
        Refresh();
    });

    FromScale = ScaleCombo(this, "FromScale", "full size");
    ToScale = ScaleCombo(this, "ToScale", "1:8");
    for (QComboBox* c : {FromScale, ToScale})
        connect(c, &QComboBox::currentTextChanged, this, [this] {
            if (!ByScales->isChecked()) ByScales->setChecked(true);
            Refresh();
        });

    ConversionBox = new QComboBox(this);
    ConversionBox->setObjectName(QStringLiteral("ConversionBox"));
    ConversionBox->addItem(QStringLiteral("inches to millimetres (× 25.4)"));
    ConversionBox->addItem(QStringLiteral("millimetres to inches (÷ 25.4)"));
    connect(ConversionBox, &QComboBox::currentIndexChanged, this, [this] {
        if (!ByConversion->isChecked()) ByConversion->setChecked(true);
        Refresh();
    });

    RoundBox = new QCheckBox(QStringLiteral("&Round every dimension afterwards to"), this);
    RoundBox->setObjectName(QStringLiteral("RoundBox"));
    connect(RoundBox, &QCheckBox::toggled, this, &TScaleDesign::Refresh);
    RoundGridBox = new QComboBox(this);
    RoundGridBox->setObjectName(QStringLiteral("RoundGridBox"));
    RoundGridBox->addItem(QString::fromStdString(GridText(RoundGrid::SixtyFourthInch)));
    RoundGridBox->addItem(QString::fromStdString(GridText(RoundGrid::TenthMillimetre)));
    connect(RoundGridBox, &QComboBox::currentIndexChanged, this, &TScaleDesign::Refresh);

    UnitText = new QLabel(this);
    UnitText->setObjectName(QStringLiteral("UnitText"));
    ScaleResult = new QLabel(this);
    ScaleResult->setObjectName(QStringLiteral("ScaleResult"));
    ScaleResult->setWordWrap(true);
    ScaleResult->setMinimumHeight(ScaleResult->fontMetrics().height() * 2 + 4);
    ScaleResult->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* grid = new QGridLayout;
    grid->addWidget(ByFactor, 0, 0);
    grid->addWidget(FactorEdit, 0, 1, 1, 4, Qt::AlignLeft);
    grid->addWidget(ByScales, 1, 0, 1, 5);
    grid->addWidget(label("FromLabel", QStringLiteral("fr&om"), FromScale), 2, 0, Qt::AlignRight);
    grid->addWidget(FromScale, 2, 1);
    grid->addWidget(label("ToLabel", QStringLiteral("&to"), ToScale), 2, 2);
    grid->addWidget(ToScale, 2, 3);
    grid->addWidget(ByConversion, 3, 0);
    grid->addWidget(ConversionBox, 3, 1, 1, 3);
    grid->addWidget(RoundBox, 4, 0);
    grid->addWidget(RoundGridBox, 4, 1);
    grid->setColumnStretch(4, 1);

    ApplyBut = new QPushButton(QStringLiteral("&Apply"), this);
    ApplyBut->setObjectName(QStringLiteral("ApplyBut"));
    ApplyBut->setDefault(true);
    connect(ApplyBut, &QPushButton::clicked, this, &TScaleDesign::ApplyButClick);
    CancelBut = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBut->setObjectName(QStringLiteral("CancelBut"));
    CancelBut->setAutoDefault(false);
    connect(CancelBut, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ApplyBut);
    buttons->addWidget(CancelBut);

    auto* box = new QVBoxLayout(this);
    box->addWidget(UnitText);
    box->addLayout(grid);
    box->addWidget(ScaleResult);
    box->addLayout(buttons);

    // Every control exists: changes are worked out from here on.
    for (QRadioButton* r : {ByFactor, ByScales, ByConversion})
        connect(r, &QRadioButton::toggled, this, &TScaleDesign::Refresh);

    setTabOrder(ByFactor, FactorEdit);
    setTabOrder(FactorEdit, ByScales);
    setTabOrder(ByScales, FromScale);
    setTabOrder(FromScale, ToScale);
    setTabOrder(ToScale, ByConversion);
    setTabOrder(ByConversion, ConversionBox);
    setTabOrder(ConversionBox, RoundBox);
    setTabOrder(RoundBox, RoundGridBox);
    setTabOrder(RoundGridBox, ApplyBut);
    setTabOrder(ApplyBut, CancelBut);
    resize(560, sizeHint().height());
}

QString TScaleDesign::CaptionHead() { return QStringLiteral("QUELF Outside Admission      Scale Design    "); }

void TScaleDesign::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormActivate();
}

void TScaleDesign::FormActivate()
{
    setWindowTitle(CaptionHead() + QString::fromStdString(s_.display.DataSetName));
    const QSignalBlocker quiet(FactorEdit);
    FactorEdit->setText(QStringLiteral("1"));
    ByFactor->setChecked(true);
    ConversionBox->setCurrentIndex(s_.gear.Unit == LengthUnit::Millimetre ? 1 : 0);
    RoundBox->setChecked(false);
    RoundGridBox->setCurrentIndex(s_.gear.Unit == LengthUnit::Millimetre ? 1 : 0);
    UnitText->setText(QString::fromUtf8(UnitSentence(s_.gear.Unit)));
    Refresh();
    FactorEdit->selectAll();
    FactorEdit->setFocus();
}

ScaleChoice TScaleDesign::Choice() const
{
    ScaleChoice c;
    c.way = ByScales->isChecked()       ? ScaleWay::Scales
            : ByConversion->isChecked() ? ScaleWay::Conversion
                                        : ScaleWay::Factor;
    c.factor = FactorEdit->text().trimmed().toStdString();
    c.from = FromScale->currentText().toStdString();
    c.to = ToScale->currentText().toStdString();
    c.conversion =
        ConversionBox->currentIndex() == 1 ? UnitConversion::MillimetreToInch : UnitConversion::InchToMillimetre;
    c.round = RoundBox->isChecked();
    c.grid = RoundGridBox->currentIndex() == 1 ? RoundGrid::TenthMillimetre : RoundGrid::SixtyFourthInch;
    return c;
}

void TScaleDesign::Refresh()
{
    outcome_ = WorkOutScale(s_, Choice());
    ScaleResult->setText(QString::fromStdString(outcome_.text));
    ScaleResult->setStyleSheet(outcome_.ok ? QString() : QStringLiteral("color: #b00000;"));
    ApplyBut->setEnabled(outcome_.ok);
    RoundGridBox->setEnabled(RoundBox->isChecked());
}

void TScaleDesign::ApplyButClick()
{
    Refresh();
    if (!outcome_.ok) return;
    if (!(session_ ? session_->Scale(outcome_.request) : ScaleDesign(s_, outcome_.request))) return;
    accept();
}
