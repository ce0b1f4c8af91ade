// The design report: everything a design is, on pages to hand over. Each
// section is one function over the state, in the report's order: the
// dimensions, the valve events table of both directions, the pictures. The
// state is never changed: every measurement and picture works on a copy.
#pragma once

#include "model/AppState.h"
#include "platform/ReportDocument.h"
#include "platform/Services.h"

#include <vector>

using ReportSectionFunction = ReportSection (*)(const AppState& s);

// The 44 dimensions, frame and cylinder, with their codes, labels,
// identifiers and values with three decimals as the dialogs show them.
ReportSection DimensionsSection(const AppState& s);
// The whole valve events table, forward and reverse, in three tables of the
// same rows: leads, largest openings and travel; the front end's events; the
// rear end's events.
ReportSection ValveEventsSection(const AppState& s);
// The parts to make (analysis/PartsList): the links with their pin centres and
// distances, the eccentric, the valve's laps, the ports, the fixed pivots.
ReportSection PartsSection(const AppState& s);
// The main window's picture as `--export main` draws it and the four diagrams
// (port graph of both directions, steam, oval, sine) as their windows first
// draw them.
ReportSection PicturesSection(const AppState& s);

// The engine, for a design with engine data: its values as the Engine Data
// window shows them, the indicator diagrams (with their figures) of three
// notches forward at 120 rpm as the indicator window draws them (full gear,
// the normal notch, notch 6), and the performance map the window draws on
// opening. (drawing/EngineReport.cpp)
ReportSection EngineSection(const AppState& s);
// The notches of the engine section's indicator diagrams: 18, normal, 6.
std::vector<int> EngineReportNotches();

// The sections of the report, in order (and the engine's last, when the
// design has engine data).
const std::vector<ReportSectionFunction>& DesignReportSections();

// The title block's fields: data set, date (from `clock`), program version,
// length unit.
std::vector<std::pair<std::string, std::string>> DesignReportFields(const AppState& s, ClockSource& clock);

// The whole report of the design.
ReportDocument DesignReportOf(const AppState& s, ClockSource& clock);

// The name a report is proposed under, without its extension ("Nominal-report").
std::string DesignReportFileStem(const AppState& s);
