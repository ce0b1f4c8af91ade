// A report document (ReportDocument.h) laid out on pages and written as PDF:
// vector pictures from their display lists, texts as text (searchable), the
// title block on top of every page with the page's number.
#pragma once

#include "platform/ReportDocument.h"

#include <QByteArray>
#include <QLocale>
#include <QPageSize>
#include <QString>

#include <string>

// The paper of a locale: Letter where the US measurement system is used,
// A4 everywhere else.
QPageSize ReportPageSize(const QLocale& locale);

// The document as the bytes of a PDF file of pages of `size` (portrait).
// `name` is the document's title in the file's properties.
QByteArray EncodeReportPdf(const ReportDocument& doc, const QPageSize& size, const QString& name);

// Writes the PDF to `path` safely (a temporary file renamed over the target
// when complete). On failure returns false with the standard message.
bool WriteReportPdf(const ReportDocument& doc, const QPageSize& size, const QString& path, std::string& error);
