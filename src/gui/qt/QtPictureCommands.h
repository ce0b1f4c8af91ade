// The picture commands a window offers: "&Export Picture…" (`ExportPicture`),
// "&Copy Picture" (`CopyPicture`, Ctrl+C) and "&Print…" (`PrintPicture`,
// Ctrl+P). Each takes the picture the window shows at that moment, from the
// display list the window keeps.
#pragma once

#include "files/DxfDrawing.h"
#include "platform/DisplayList.h"

#include <QObject>
#include <QString>

#include <functional>
#include <string>
#include <utility>

class FileSystem;
class QAction;
class QFileDialog;
class QMenu;
class QPrinter;
class QWidget;

struct PictureSource {
    // The picture as the window shows it now.
    std::function<DisplayList()> picture;
    // Its name in a proposed file name ("port-graph").
    std::function<std::string()> name;
    // The data set name ("Nominal").
    std::function<std::string()> dataSet;
    // What an exported picture is written through (empty: the system's files).
    std::function<FileSystem&()> files;
    // The picture as a drawing at full size for CAD programs, as it stands now
    // (empty: the window offers none); "Export Picture…" then offers .dxf.
    std::function<DxfDrawing()> drawing = {};
};

class PictureCommands : public QObject {
    Q_OBJECT
public:
    PictureCommands(QWidget* window, PictureSource source);

    // Appends the three commands to `menu`.
    void AddTo(QMenu* menu);
    // The window's picture as a drawing at full size too: "Export Picture…"
    // offers .dxf from now on (PictureSource::drawing).
    void OfferDrawing(std::function<DxfDrawing()> drawing) { source_.drawing = std::move(drawing); }

    QAction* ExportAction() const { return export_; }
    QAction* CopyAction() const { return copy_; }
    QAction* PrintAction() const { return print_; }

    void ExportPicture();
    void CopyPicture();
    void PrintPicture();

    // A new export file dialog ("ExportDialog") with the formats as filters
    // and the proposed file name; the caller owns it.
    QFileDialog* NewExportDialog(const std::string& proposedBase);
    // A save dialog for another kind of file the window writes (a report, an
    // animation): its name filters, the extension of the first, the proposed
    // name; it starts in the folder of the last export. The caller owns it.
    QFileDialog* NewSaveDialog(const QString& objectName, const QString& title, const QStringList& filters,
                               const std::string& proposedName);
    // The next export dialog starts in the folder of `path`.
    static void RememberExportFolder(const QString& path);
    // The message box of a file that could not be written ("FileErrorBox").
    static void ShowWriteError(QWidget* parent, const std::string& message);

    // The format and scale a chosen file name and filter ask for; the name
    // gets the format's extension when it has none of the three.
    static PictureFormat ChosenFormat(QString& path, const QString& nameFilter, int& scale);
    // The export dialog's file type of a drawing at full size.
    static QString DxfFilter();

    // Printing of any text through the print dialog ("PrintDialog").
    // When set, replaces the print dialog: returns false for Cancel.
    static std::function<bool(QPrinter&)> PrintDialogHook;
    // Shows the print dialog for `printer` (or calls the hook).
    static bool ChoosePrinter(QPrinter& printer, QWidget* parent);

private:
    void ShowError(const std::string& message);

    QWidget* window_;
    PictureSource source_;
    QAction* export_ = nullptr;
    QAction* copy_ = nullptr;
    QAction* print_ = nullptr;
};
