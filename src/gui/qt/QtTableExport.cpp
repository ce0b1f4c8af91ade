#include "qt/QtTableExport.h"

#include "platform/RecordFile.h"
#include "qt/QtPictureCommands.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QPrinter>
#include <QTableWidget>
#include <QTextDocument>
#include <QWidget>

#include <algorithm>

namespace {

QString ChooseCsvFile(QWidget* parent, const FileDialogHookFn& hook)
{
    FileDialogSetup setup;
    setup.name = QString::fromLatin1(kSaveCsvDialogName);
    setup.mode = QFileDialog::AcceptSave;
    setup.fileMode = QFileDialog::AnyFile;
    setup.title = QStringLiteral("Save CSV");
    setup.suffix = QStringLiteral("csv");
    setup.filters = QStringList{QStringLiteral("CSV File (*.csv)"), QStringLiteral("All Files (*)")};
    return ChooseFile(parent, setup, hook);
}

} // namespace

bool SaveCsvWithDialog(QWidget* parent, const FileDialogHookFn& hook, const std::string& csv, FileSystem& files)
{
    const QString path = ChooseCsvFile(parent, hook);
    if (path.isEmpty()) return false;
    std::string error;
    if (SaveTextFile(path.toStdString(), csv, error, files)) return true;
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), QString::fromStdString(error),
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("FileErrorBox"));
    box.exec();
    return false;
}

void CopyTableToClipboard(const std::string& tabSeparated)
{
    QGuiApplication::clipboard()->setText(QString::fromStdString(tabSeparated));
}

bool PrintTextTable(QWidget* parent, const QString& heading, const QString& docName, const std::vector<TextRow>& rows,
                    const PrintedTableLook& look)
{
    QString html = QStringLiteral("<h3>") + heading.toHtmlEscaped() +
                   QStringLiteral("</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"2\">");
    for (size_t r = 0; r < rows.size(); ++r) {
        const bool bold = r > 0 && look.boldRow && look.boldRow(r);
        html += QStringLiteral("<tr>");
        for (size_t c = 0; c < rows[r].size(); ++c) {
            QString cell = QString::fromStdString(rows[r][c]).toHtmlEscaped();
            if (r == 0) cell.replace(QStringLiteral(" ("), QStringLiteral("<br>(")); // the unit below
            const bool word = r == 0 || (look.wordColumn && look.wordColumn(static_cast<int>(c)));
            html += (r == 0 ? QStringLiteral("<th>")
                     : word ? QStringLiteral("<td>")
                            : QStringLiteral("<td align=\"right\">")) +
                    (bold ? QStringLiteral("<b>") + cell + QStringLiteral("</b>") : cell) +
                    (r == 0 ? QStringLiteral("</th>") : QStringLiteral("</td>"));
        }
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(docName);
    printer.setPageOrientation(QPageLayout::Landscape);
    if (!PictureCommands::ChoosePrinter(printer, parent)) return false;
    // Laid out as wide as the table wants and scaled to the page's width.
    QTextDocument doc;
    doc.setDefaultFont(parent ? parent->font() : QFont());
    doc.setHtml(html);
    doc.setTextWidth(-1);
    const QRectF page = printer.pageLayout().paintRectPoints();
    const qreal width = std::max<qreal>(doc.idealWidth() + 20, page.width() * 96 / 72);
    doc.setPageSize(QSizeF(width, width * page.height() / page.width()));
    doc.print(&printer);
    return true;
}

QTableWidget* NewTextGrid(QWidget* parent, const QString& name)
{
    auto* g = new QTableWidget(parent);
    g->setObjectName(name);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->verticalHeader()->hide();
    g->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    g->verticalHeader()->setDefaultSectionSize(g->fontMetrics().height() + 6);
    g->setWordWrap(false);
    return g;
}
