#include "aids/TDataTable.h"

#include "analysis/MotionData.h"
#include "analysis/PartsList.h"
#include "drawing/DataTableBuilder.h"
#include "platform/RecordFile.h"
#include "platform/Services.h"
#include "qt/QtFonts.h"
#include "qt/QtPictureCommands.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {

// The memo hands out its selection as plain text only: a rich-text copy of a
// table of 36001 lines would take seconds to build and is of no use. It takes
// in plain text only too, and nothing from a clipboard or drop without text:
// Qt's own insertion reads the first offered format without asking whether
// there is one, and an empty X11 clipboard offers none.
class PlainTextMemo : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override { return source && source->hasText(); }
    void insertFromMimeData(const QMimeData* source) override
    {
        if (!canInsertFromMimeData(source)) return;
        insertPlainText(source->text());
        ensureCursorVisible();
    }

    QMimeData* createMimeDataFromSelection() const override
    {
        auto* data = new QMimeData;
        QString text = textCursor().selectedText();
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        text.replace(QChar::LineSeparator, QLatin1Char('\n'));
        data->setText(text);
        return data;
    }
};

} // namespace

TDataTable::TDataTable(AppState& state, ClockSource& clock, QWidget* parent, FileSystem& files)
    : QDialog(parent), state_(state), clock_(clock), files_(files)
{
    setObjectName(QStringLiteral("DataTable"));
    setWindowTitle(QStringLiteral("Pivot Data Table"));
    resize(620, 400);
    move(150, 110);

    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    Close1 = MainMenu1->addAction(QStringLiteral("&Close "));
    Close1->setObjectName(QStringLiteral("Close1"));
    connect(Close1, &QAction::triggered, this, &TDataTable::Close1Click);
    Blank = MainMenu1->addAction(QStringLiteral("              "));
    Blank->setObjectName(QStringLiteral("Blank"));
    Edit1 = MainMenu1->addMenu(QStringLiteral("&Edit"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    connect(Edit1, &QMenu::aboutToShow, this, &TDataTable::Edit1Click);
    auto item = [this](QAction*& a, const char* name, const char* caption, void (TDataTable::*slot)()) {
        a = Edit1->addAction(QString::fromLatin1(caption));
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
    };
    item(Cut1, "Cut1", "Cu&t", &TDataTable::Cut1Click);
    item(Copy1, "Copy1", "&Copy", &TDataTable::Copy1Click);
    item(Past1, "Past1", "&Paste", &TDataTable::Past1Click);
    Edit1->addSeparator()->setObjectName(QStringLiteral("N1"));
    item(SelectAll1, "SelectAll1", "Select&All", &TDataTable::SelectAll1Click);
    Cut1->setEnabled(false);
    Copy1->setEnabled(false);
    SaveCsv1 = MainMenu1->addAction(QStringLiteral("&Save CSV…"));
    SaveCsv1->setObjectName(QStringLiteral("SaveCsv1"));
    connect(SaveCsv1, &QAction::triggered, this, &TDataTable::SaveCsv1Click);
    SaveMotion1 = MainMenu1->addAction(QStringLiteral("Save &Motion…"));
    SaveMotion1->setObjectName(QStringLiteral("SaveMotion1"));
    connect(SaveMotion1, &QAction::triggered, this, &TDataTable::SaveMotion1Click);
    PrintTable = MainMenu1->addAction(QStringLiteral("&Print…"));
    PrintTable->setObjectName(QStringLiteral("PrintTable"));
    PrintTable->setShortcut(QKeySequence::Print);
    connect(PrintTable, &QAction::triggered, this, &TDataTable::PrintTableClick);

    DataMemo = new PlainTextMemo(this);
    DataMemo->setObjectName(QStringLiteral("DataMemo"));
    // Fixed pitch, so that the columns of the table line up.
    DataMemo->setFont(LayoutFont(QStringLiteral("Courier New"), 12));
    DataMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    DataMemo->setUndoRedoEnabled(false);
    DataMemo->setPlainText(QStringLiteral("DataMemo"));

    PartsGrid = NewTextGrid(this, QStringLiteral("PartsGrid"));
    DataTabs = new QTabWidget(this);
    DataTabs->setObjectName(QStringLiteral("DataTabs"));
    DataTabs->setDocumentMode(true);
    DataTabs->addTab(DataMemo, QStringLiteral("Pivot &Data"));
    DataTabs->addTab(PartsGrid, QStringLiteral("Parts &List"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(DataTabs);
}

void TDataTable::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormActivate();
}

void TDataTable::FormActivate()
{
    Cut1->setEnabled(false);
    Copy1->setEnabled(false);
    SelectAll1->setEnabled(true);
    const std::vector<std::string> lines = BuildDataTable(state_, clock_.ShortDate(), clock_.ShortTime());
    // The window grows to show whole lines, as far as the screen allows: the
    // head's and the first data line are the widest. Frame, margins and the
    // scroll bar take about 40 pixels.
    const QFontMetrics metrics(DataMemo->font());
    int want = 0;
    for (size_t i = 0; i < lines.size() && i < 5; ++i)
        want = std::max(want, metrics.horizontalAdvance(QString::fromStdString(lines[i])) + 40);
    if (screen()) want = std::min(want, screen()->availableGeometry().width());
    if (width() < want) resize(want, height());
    // One call for the whole text: the memo lays it out once.
    DataMemo->setPlainText(QString::fromStdString(JoinLines(lines)));

    // The parts list of the design as it stands.
    const std::vector<std::vector<std::string>> parts = PartsListCells(BuildPartsList(state_.gear), state_.gear.Unit);
    QStringList header;
    for (const std::string& h : parts.front()) header << QString::fromStdString(h);
    PartsGrid->setColumnCount(header.size());
    PartsGrid->setHorizontalHeaderLabels(header);
    PartsGrid->setRowCount(static_cast<int>(parts.size()) - 1);
    for (size_t r = 1; r < parts.size(); ++r) {
        for (size_t c = 0; c < parts[r].size(); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(parts[r][c]));
            if (c >= 2) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            PartsGrid->setItem(static_cast<int>(r) - 1, static_cast<int>(c), item);
        }
    }
    PartsGrid->resizeColumnsToContents();
}

void TDataTable::Close1Click() { reject(); }

void TDataTable::Edit1Click()
{
    if (DataMemo->textCursor().hasSelection()) {
        Cut1->setEnabled(true);
        Copy1->setEnabled(true);
    }
}

void TDataTable::Cut1Click()
{
    DataMemo->cut();
    SelectAll1->setEnabled(true);
}

void TDataTable::Copy1Click()
{
    DataMemo->copy();
    SelectAll1->setEnabled(true);
}

void TDataTable::Past1Click() { DataMemo->paste(); }

void TDataTable::SaveCsv1Click()
{
    const std::string csv = DataTabs->currentWidget() == PartsGrid
                                ? CsvText(PartsListCells(BuildPartsList(state_.gear), state_.gear.Unit))
                                : CsvText(DataTableCells(state_));
    SaveCsvWithDialog(this, FileDialogHook, csv, files_);
}
void TDataTable::SaveMotion1Click()
{
    const QString name = QStringLiteral("SaveMotionDialog");
    QString path;
    if (FileDialogHook) {
        path = FileDialogHook(name);
    } else {
        auto dlg = std::make_unique<QFileDialog>(this);
        dlg->setObjectName(name);
        dlg->setOption(QFileDialog::DontUseNativeDialog, true);
        dlg->setAcceptMode(QFileDialog::AcceptSave);
        dlg->setFileMode(QFileDialog::AnyFile);
        dlg->setWindowTitle(QStringLiteral("Save Motion"));
        dlg->setDefaultSuffix(QStringLiteral("csv"));
        const QStringList filters = {QStringLiteral("CSV File (*.csv)"), QStringLiteral("JSON File (*.json)"),
                                     QStringLiteral("All Files (*)")};
        dlg->setNameFilters(filters);
        // The chosen type gives a name typed without extension its own.
        connect(dlg.get(), &QFileDialog::filterSelected, dlg.get(), [d = dlg.get(), filters](const QString& f) {
            d->setDefaultSuffix(f == filters[1] ? QStringLiteral("json") : QStringLiteral("csv"));
        });
        dlg->setSizeGripEnabled(true);
        if (dlg->exec() == QDialog::Accepted && !dlg->selectedFiles().isEmpty()) path = dlg->selectedFiles().first();
    }
    if (path.isEmpty()) return;
    // A .json file gets JSON, any other CSV; the reverse arm where it stands.
    const std::string local = path.toStdString();
    const MotionTable t = SweepMotion(state_.gear, state_.gear.RevArmPos,
                                      std::clamp(state_.anim.SelectedStep, kSmallestMotionStep, 360.0f));
    const std::string text =
        IsJsonMotionPath(local) ? MotionJsonText(t, state_.display.DataSetName, state_.gear.Unit) : MotionCsvText(t);
    std::string error;
    if (SaveTextFile(local, text, error)) return;
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), QString::fromStdString(error),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("FileErrorBox"));
    box.exec();
}

void TDataTable::PrintTableClick()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Pivot Data Table"));
    if (PictureCommands::ChoosePrinter(printer, this)) DataMemo->print(&printer);
}

void TDataTable::SelectAll1Click()
{
    DataMemo->selectAll();
    Cut1->setEnabled(true);
    Copy1->setEnabled(true);
    SelectAll1->setEnabled(false);
}
