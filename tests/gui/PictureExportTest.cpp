// Pictures out of the windows: the main window's gear and the port graph
// exported through the real file dialog as PNG, SVG and PDF, copied and
// printed; a failed export leaves nothing behind.
#include "aids/TDataTable.h"
#include "drawing/FrameDrawing.h"
#include "drawing/ValveDiagrams.h"
#include "graphs/TOvalDia.h"
#include "graphs/TPortDia.h"
#include "graphs/TValveEvents.h"
#include "model/DynVars.h"
#include "model/Model.h"
#include "platform/RecordingCanvas.h"
#include "qt/QtCanvas.h"
#include "qt/QtFrameBuffer.h"
#include "qt/QtPicture.h"
#include "qt/QtPictureCommands.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "gui/GuiTestSupport.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <functional>

namespace {

// Mean difference of two images of one size, 0 (equal) to 1.
double MeanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            for (int shift : {0, 8, 16})
                sum += std::abs(int(a.pixel(x, y) >> shift & 255) - int(b.pixel(x, y) >> shift & 255));
    return sum / (3.0 * 255 * a.width() * a.height());
}

// Each 2 x 2 block averaged into one pixel; counts the blocks that are not
// of one colour (none in an enlarged bitmap).
QImage Halved(const QImage& img, int& mixedBlocks)
{
    QImage out(img.width() / 2, img.height() / 2, QImage::Format_RGB32);
    mixedBlocks = 0;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p[4] = {img.pixel(2 * x, 2 * y), img.pixel(2 * x + 1, 2 * y), img.pixel(2 * x, 2 * y + 1),
                               img.pixel(2 * x + 1, 2 * y + 1)};
            if (p[0] != p[1] || p[0] != p[2] || p[0] != p[3]) ++mixedBlocks;
            int r = 0, g = 0, b = 0;
            for (QRgb c : p) r += qRed(c), g += qGreen(c), b += qBlue(c);
            out.setPixel(x, y, qRgb((r + 2) / 4, (g + 2) / 4, (b + 2) / 4));
        }
    return out;
}

struct PictureExport : MainWindowTest {
    QTemporaryDir dir;
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

} // namespace

TEST_F(PictureExport, TheGearPictureIsTheScreenAtOneScaleAndAsSharpAtTwo)
{
    state.display.SteamDisplayOn = true; // many pixels
    state.display.RefPointsOn = true;
    Named<QTimer>(*form, "Timer1")->stop();
    for (int i = 0; i < 12; ++i) form->Tick();
    const DisplayList shown = form->ShownPicture();
    ASSERT_EQ(QSize(shown.Width(), shown.Height()), form->Area()->size());
    const QImage one = DisplayListImage(shown, 1);
    // The screen's picture, pixel for pixel, but for the captions of the view
    // bars ("Pan Vert", "Pan Horz", "Zoom") and the step bar's setting ("Step
    // Ang 10.00"), which only the screen shows.
    QImage screen = form->FrameImage().copy(form->Area()->rect());
    for (const QRect captions : {QRect(199, 24, 53, 44), QRect(458, 53, 84, 14)}) {
        QImage blank(captions.size(), QImage::Format_RGB32);
        blank.fill(Qt::white);
        EXPECT_FALSE(screen.copy(captions) == blank); // painted on the screen
        EXPECT_TRUE(one.copy(captions) == blank);     // not in the picture
        QPainter p(&screen);
        p.fillRect(captions, Qt::white);
    }
    EXPECT_TRUE(one == screen);

    const QImage two = DisplayListImage(shown, 2);
    ASSERT_EQ(two.size(), one.size() * 2);
    int mixed = 0;
    EXPECT_LT(MeanDifference(Halved(two, mixed), one), 0.02);
    EXPECT_GT(mixed, 1000); // drawn at twice the size, not enlarged

    // Level and upright lines of either width, dotted or not, and single
    // pixels fall on the same pixels at both scales.
    DisplayList grid(40, 30);
    {
        DisplayListCanvas c(grid);
        for (int w : {1, 2}) {
            c.SetPenWidth(w);
            c.Line(2, 5 * w, 38, 5 * w);
            c.Line(10 * w, 2, 10 * w, 28);
            c.SetPenStyle(PenStyle::Dot);
            c.Line(38, 20 + w, 2, 20 + w);
            c.SetPenStyle(PenStyle::Solid);
        }
        c.SetPixel(30, 25, clRed);
    }
    EXPECT_TRUE(Halved(DisplayListImage(grid, 2), mixed) == DisplayListImage(grid, 1));

    // The PNG file of the 2x picture holds that image.
    std::string error;
    ASSERT_TRUE(WriteDisplayList(shown, Path("gear.png"), PictureFormat::Png, 2, "gear", error)) << error;
    EXPECT_LT(MeanDifference(QImage(Path("gear.png")).convertToFormat(QImage::Format_RGB32), two), 0.001);

    // "File": "Export Picture…", "Copy Picture", "Print…" in a row; the
    // diagram windows have them in "SetUp".
    EXPECT_EQ(Named<QMenu>(*form, "File1")->actions().indexOf(Named<QAction>(*form, "ExportPicture")) + 2,
              Named<QMenu>(*form, "File1")->actions().indexOf(Named<QAction>(*form, "PrintPicture")));
    EXPECT_NE(ChildWindowsOf(*form).OvalDia->Menu()->findChild<QMenu*>("SetUp"), nullptr);

    // Copy: the picture as an image and as SVG; the gear stays where it was.
    const float angle = state.gear.DriverAngle;
    Named<QAction>(*form, "CopyPicture")->trigger();
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_TRUE(qvariant_cast<QImage>(copied->imageData()).convertToFormat(QImage::Format_RGB32) == one);
    EXPECT_TRUE(copied->data("image/svg+xml").contains("Rev Arm"));
    EXPECT_EQ(state.gear.DriverAngle, angle);
}

TEST_F(PictureExport, TheFrameIsTheOneOfOldAtRatioOneAndAsSharpAtTwoWithoutSeamsBetween)
{
    state.display.SteamDisplayOn = true;
    state.display.RefPointsOn = true;
    Named<QTimer>(*form, "Timer1")->stop();
    for (int i = 0; i < 5; ++i) form->Tick();
    // The same tick drawn as the window always drew it: the whole 1280 x 1024
    // frame straight on an image.
    AppState same = state;
    FixedRandom sameRandom = random;
    RecordingSound quiet;
    form->Tick();
    TickModel(same);
    QImage whole(kFrameWidth, kFrameHeight, QImage::Format_RGB32);
    whole.fill(Qt::white);
    {
        QtCanvas c(whole);
        FrameServices services{quiet, sameRandom};
        FrameEffects fx;
        ComposeFrame(c, same, services, fx);
    }
    EXPECT_TRUE(form->FrameImage() == whole.copy(form->Area()->rect()));

    // At a device pixel ratio of 2: twice the pixels, the same picture.
    DisplayList list = form->FrameList();
    FrameBuffer two;
    two.Show(list, 2);
    ASSERT_EQ(two.Image().size(), form->FrameImage().size() * 2);
    int mixed = 0;
    EXPECT_LT(MeanDifference(Halved(two.Image(), mixed), form->FrameImage()), 0.02);
    EXPECT_GT(mixed, 1000);

    // At 1.5 a level and an upright line are one or two device pixels thick
    // all along: no gaps, no doubled lines.
    DisplayList grid(40, 30);
    {
        DisplayListCanvas c(grid);
        c.Line(2, 5, 38, 5);
        c.Line(20, 2, 20, 28);
    }
    FrameBuffer mid;
    mid.Show(grid, 1.5);
    const QImage& img = mid.Image();
    ASSERT_EQ(img.size(), QSize(60, 45));
    auto darkIn = [&](QRect r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) n += qGray(img.pixel(x, y)) < 128;
        return n;
    };
    for (int x = 6; x < 55; ++x) {
        if (x >= 27 && x <= 34) continue; // where the upright line crosses
        const int n = darkIn(QRect(x, 0, 1, 45));
        EXPECT_TRUE(n == 1 || n == 2) << "column " << x << ": " << n;
    }
    for (int y = 12; y < 40; ++y) {
        const int n = darkIn(QRect(0, y, 60, 1));
        EXPECT_TRUE(n == 1 || n == 2) << "row " << y << ": " << n;
    }
}

TEST_F(PictureExport, AnUnchangedFrameIsNotPaintedAgainAndEveryChangeIs)
{
    QTest::mouseClick(Named<QPushButton>(*form, "Run"), Qt::LeftButton); // stopped
    Named<QTimer>(*form, "Timer1")->stop();
    form->Tick();
    const int painted = form->FramesPainted();
    const QImage still = form->FrameImage().copy();
    for (int i = 0; i < 5; ++i) form->Tick();
    EXPECT_EQ(form->FramesPainted(), painted);

    state.view.ViewOffsetX += 7; // a view change
    form->Tick();
    EXPECT_EQ(form->FramesPainted(), painted + 1);
    EXPECT_FALSE(form->FrameImage() == still);
    state.gear.CrankDiskDia *= 1.2f; // a dimension
    form->Tick();
    EXPECT_EQ(form->FramesPainted(), painted + 2);
    state.highlight.HighlightDim = 3; // a blinking close-up
    for (int i = 0; i < 40; ++i) form->Tick();
    EXPECT_GE(form->FramesPainted(), painted + 4);

    // The window shows what was painted last.
    QCoreApplication::processEvents();
    const QImage shown = form->Area()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect below(0, 90, 540, form->Area()->height() - 90); // under the controls, left of the readouts' frame
    EXPECT_TRUE(shown.copy(below) == form->FrameImage().copy(below));
}

TEST_F(PictureExport, PortGraphThroughTheRealDialogAsSvgAndPdfAndAFailureLeavesNothing)
{
    TPortDia w(state, nullptr);
    w.Host().files = [this]() -> FileSystem& { return files; };
    w.ForwardGraph1Click();
    const int lines = w.ShownList().CountLines();
    ASSERT_GT(lines, 100);

    // Export: the dialog proposes the name; choosing SVG changes its
    // extension; the file is written where the test points the dialog.
    QStringList proposed;
    QString error;
    int step = 0;
    auto exportVia = [&](const char* filter, const QString& target) {
        step = 0;
        bool done = false, returned = false;
        QElapsedTimer clock;
        clock.start();
        DriveModal([&, filter, target] {
            QWidget* m = QApplication::activeModalWidget();
            if (auto* d = qobject_cast<QFileDialog*>(m); d && step == 0) {
                EXPECT_EQ(d->objectName(), "ExportDialog");
                proposed << QFileInfo(d->selectedFiles().value(0)).fileName();
                auto* types = d->findChild<QComboBox*>("fileTypeCombo");
                if (types) { // as a user picks a filter
                    const int i = types->findText(QString::fromLatin1(filter));
                    types->setCurrentIndex(i);
                    emit types->activated(i);
                    emit types->textActivated(types->itemText(i));
                }
                proposed << QFileInfo(d->selectedFiles().value(0)).fileName();
                d->selectFile(target);
                QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
                step = 1;
            } else if (auto* box = qobject_cast<QMessageBox*>(m)) {
                error = box->text();
                box->accept();
            } else if (auto* other = qobject_cast<QDialog*>(m); other && clock.elapsed() > 4000) {
                other->reject(); // never left hanging
            }
            done = (returned && !m) || clock.elapsed() > 4500;
            return done;
        });
        w.Pictures()->ExportAction()->trigger(); // returns when the export is over
        returned = true;
        while (!done && clock.elapsed() < 5000) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        EXPECT_EQ(step, 1);
    };

    exportVia("SVG Drawing (*.svg)", Path("by-dialog"));
    EXPECT_EQ(proposed.join(","), "Nominal-port-graph.png,Nominal-port-graph.svg");
    QFile svg(Path("by-dialog.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svg);
    int shapes = 0;
    QStringList texts;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"text")
            texts << xml.readElementText().trimmed();
        else if (xml.name() == u"polyline" || xml.name() == u"line" || xml.name() == u"path")
            ++shapes;
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(texts.contains("Percent Piston Travel"));
    EXPECT_TRUE(texts.contains("Front Port"));
    EXPECT_GE(shapes, lines);

    exportVia("PDF Document (*.pdf)", Path("graph.pdf"));
    QFile pdf(Path("graph.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(4) == "%PDF");
    EXPECT_TRUE(Poppler("pdftotext", Path("graph.pdf")).contains("Percent Piston Travel"));
    EXPECT_TRUE(Poppler("pdfinfo", Path("graph.pdf")).contains("Pages: 1 "));

    // The disk fills up: the standard message, and neither the file nor a
    // temporary one is left.
    files.faults.write = {FileErrorKind::DiskFull};
    exportVia("PNG Image, 4x (*.png)", Path("full.png"));
    files.faults = {};
    EXPECT_EQ(error, "Disk full");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).join(","), "by-dialog.svg,graph.pdf");
}

TEST_F(PictureExport, PrintingGivesOnePageTurnedToThePicture)
{
    const QString target = Path("printed.pdf");
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    PictureCommands::PrintDialogHook = [&](QPrinter& printer) {
        orientation = printer.pageLayout().orientation();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(target);
        return true;
    };
    Named<QTimer>(*form, "Timer1")->stop();
    form->Tick();
    Named<QAction>(*form, "PrintPicture")->trigger(); // the gear: wider than high
    EXPECT_EQ(orientation, QPageLayout::Landscape);
    EXPECT_TRUE(Poppler("pdfinfo", target).contains("Pages: 1 "));
    EXPECT_TRUE(Poppler("pdftotext", target).contains("Driv Ang"));

    // The pivot data table prints its text.
    TDataTable* table = ChildWindowsOf(*form).DataTable;
    table->FormActivate();
    QFile::remove(target);
    table->findChild<QAction*>("PrintTable")->trigger();
    EXPECT_TRUE(Poppler("pdftotext", target).contains(table->DataMemo->toPlainText().section('\n', 0, 0).simplified()));

    // The valve events table prints its cells, landscape.
    TValveEvents* events = ChildWindowsOf(*form).ValveEvents;
    events->FormActivate();
    QFile::remove(target);
    events->PrintBut->click();
    PictureCommands::PrintDialogHook = nullptr;
    EXPECT_EQ(orientation, QPageLayout::Landscape);
    const QString printed = Poppler("pdftotext", target);
    EXPECT_TRUE(printed.contains("Forward") && printed.contains("admission") && printed.contains("normal"))
        << printed.left(300).toStdString();
}

namespace {

// The texts of a picture as it leaves the program (its SVG).
QStringList PictureTexts(const DisplayList& list)
{
    QStringList texts;
    QXmlStreamReader xml(EncodeDisplayList(list, PictureFormat::Svg, 1, QStringLiteral("t")));
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"text")
            texts << xml.readElementText().simplified();
    return texts;
}

bool AnyStartsWith(const QStringList& texts, const QString& head)
{
    return std::any_of(texts.begin(), texts.end(), [&](const QString& t) { return t.startsWith(head); });
}

} // namespace

TEST_F(PictureExport, APictureThatLeavesTheProgramHasNoCaptionsOfControlsItDoesNotShow)
{
    Named<QTimer>(*form, "Timer1")->stop();
    TOvalDia& oval = *ChildWindowsOf(*form).OvalDia;
    oval.SetPositionsDialog(nullptr);
    oval.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&oval));
    // Texts that only caption a control, and readouts, in each state.
    const struct {
        const char* state;
        std::function<void()> set;
        QStringList gearOnly, gearBoth; // main window: on the screen only / also in the picture
        QStringList ovalOnly, ovalBoth;
    } rows[] = {
        {"panels on, nothing chosen, nothing to undo",
         [&] {
             // Both windows show the one state's panels.
             Press(*form, "DynamicVariables");
             Press(*form, "SetUnDo");
             oval.ReDrawClick();
         },
         {"Pan Vert", "Pan Horz", "Zoom", "* First Select Dimensions *", "0-"},
         {"Rev Arm", "Piston %", "ValveCen"},
         {"* First Select Dimensions *", "0-"},
         {"Scale =", "Rear Steam Port Max"}},
        {"one dimension chosen, one change to undo",
         [&] {
             StageDynVar(state, 2, state.gear.Stroke, DimensionShortLabel(2));
             DynBarEnter(state, 1);
             if (DynBarChange(state, 1, 1)) DynBarChange(state, 1, 0);
             DynBarEndScroll(state, 1);
             oval.ReDrawClick();
         },
         {"Pan Vert", "??"},
         {"Stroke", "1- Stroke"},
         {"??"},
         {"Stroke", "1- Stroke"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.state);
        r.set();
        form->DrawFrame();
        const QStringList gear = PictureTexts(form->ShownPicture()), diagram = PictureTexts(oval.ShownList());
        for (const QString& t : r.gearOnly) EXPECT_FALSE(AnyStartsWith(gear, t)) << "gear: " << t.toStdString();
        for (const QString& t : r.gearBoth) EXPECT_TRUE(AnyStartsWith(gear, t)) << "gear: " << t.toStdString();
        for (const QString& t : r.ovalOnly) EXPECT_FALSE(AnyStartsWith(diagram, t)) << "oval: " << t.toStdString();
        for (const QString& t : r.ovalBoth) EXPECT_TRUE(AnyStartsWith(diagram, t)) << "oval: " << t.toStdString();
        // The screen shows them all.
        EXPECT_GT(form->ShownPicture().CountTexts(), form->ShownPicture().CountTexts(DisplayList::Part::Picture));
        EXPECT_GT(oval.ShownList().CountTexts(), oval.ShownList().CountTexts(DisplayList::Part::Picture));
    }
    oval.hide();
}

TEST_F(PictureExport, TheOvalDiagramsLabelsStayClearOfItsUndoButton)
{
    TOvalDia& oval = *ChildWindowsOf(*form).OvalDia;
    oval.SetPositionsDialog(nullptr);
    oval.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&oval));
    oval.UnDoMenuClick();
    ASSERT_TRUE(oval.UndoButton()->isVisible());
    const QRect button = oval.UndoButton()->geometry();
    EXPECT_EQ(button,
              QRect(kDiagramUndoButton.left, kDiagramUndoButton.top, kDiagramUndoButton.right - kDiagramUndoButton.left,
                    kDiagramUndoButton.bottom - kDiagramUndoButton.top));
    // Every label of the picture (its texts as drawn) stays off the button.
    RecordingCanvas c;
    DrawOvalDiagram(c, state);
    int labels = 0;
    for (const CanvasOp& t : c.OfKind(CanvasOp::Text)) {
        if (!QString::fromStdString(t.text).contains(QStringLiteral("Port"))) continue;
        ++labels;
        const QRect box(t.x1, t.y1, QtCanvas::MeasureText(0, false, t.text), 13);
        EXPECT_FALSE(box.intersects(button)) << t.text << " at " << t.x1 << ", " << t.y1;
    }
    EXPECT_EQ(labels, 6);
    oval.hide();
}
