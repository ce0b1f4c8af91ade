// Every file dialog of the program: made one way, started in the one folder
// last used by any of them (QtDesktop: FileDialogFolder), and that folder
// kept whenever a dialog chooses a file.
#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

// Replaces a file dialog in tests: gets the dialog's name and returns the
// chosen path (empty: Cancel).
using FileDialogHookFn = std::function<QString(const QString& dialogName)>;

struct FileDialogSetup {
    QString name; // the dialog's objectName ("SaveDialog1", "ExportDialog", "SaveCsvDialog")
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QFileDialog::FileMode fileMode = QFileDialog::ExistingFile;
    QString title;       // empty: the system's default title
    QString suffix;      // added to a name typed without one
    QStringList filters; // Qt name filters ("Data File (*.vgw)")
    QString filter;      // the filter chosen first (empty: the first)
    QString file;        // the name proposed (empty: none)
};

// A dialog set up so, in the folder last used; the caller owns it.
QFileDialog* NewFileDialog(QWidget* parent, const FileDialogSetup& setup);

// Shows `dialog`; the file chosen (empty: Cancel), its folder kept for the
// next dialog. `chosenFilter` receives the name filter it was chosen with.
QString RunFileDialog(QFileDialog& dialog, QString* chosenFilter = nullptr);

// The dialog of `setup` shown, or `hook` asked instead when set; either way
// the folder of the file chosen is kept.
QString ChooseFile(QWidget* parent, const FileDialogSetup& setup, const FileDialogHookFn& hook = {});

// A filter "text|patterns|text|patterns" as Qt name filters
// ("Data File (*.vgw)", "All Files (*)").
QStringList QtNameFilters(const QString& filter);

// The dialogs of a design's file: "OpenDialogWin" (open), "SaveDialog1"
// (save as), "OpenDialogDos" (import an older design) and "ExportJsonDialog";
// none for any other name.
std::optional<FileDialogSetup> DesignFileDialog(const QString& name);
