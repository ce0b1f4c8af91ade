#include "files/DxfFile.h"

#include "model/NumberText.h"
#include "platform/RecordFile.h"

#include <dl_dxf.h>

#include <charconv>
#include <cmath>
#include <memory>

namespace {

// dxflib's ASCII writer with its output collected in memory rather than
// streamed to a file: the file is then written through the file-system seam
// (a temporary replaced in one step), and every real is written by the
// program's own number text ("." in any locale; dxflib's printf would follow
// the C library's locale).
class DxfTextWriter : public DL_WriterA {
public:
    // The base's file stream is left unopened (no name).
    DxfTextWriter() : DL_WriterA("", DL_Codes::AC1015) {}

    void dxfReal(int gc, double value) const override
    {
        std::string t = ShortestDoubleText(value);
        Put(gc, t.empty() ? std::string("0") : t);
    }
    void dxfInt(int gc, int value) const override { Put(gc, std::to_string(value)); }
    void dxfHex(int gc, int value) const override
    {
        char buf[16];
        const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<unsigned>(value), 16);
        std::string t(buf, r.ptr);
        for (char& c : t)
            if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
        Put(gc, t);
    }
    void dxfString(int gc, const char* value) const override { Put(gc, value ? value : ""); }
    void dxfString(int gc, const std::string& value) const override { Put(gc, value); }

    std::string Take() { return std::move(text_); }

private:
    // A group: its code right-aligned in three places, then its value, each on a line.
    void Put(int gc, const std::string& value) const
    {
        if (gc < 10)
            text_ += "  ";
        else if (gc < 100)
            text_ += ' ';
        text_ += std::to_string(gc);
        text_ += '\n';
        text_ += value;
        text_ += '\n';
    }
    mutable std::string text_;
};

int InsUnits(LengthUnit u)
{
    switch (u) {
    case LengthUnit::Inch: return 1;
    case LengthUnit::Millimetre: return 4;
    case LengthUnit::Unspecified: break;
    }
    return 0;
}

constexpr int kByLayer = 256;

} // namespace

std::string DxfText(const DxfDrawing& d)
{
    DL_Dxf dxf;
    DxfTextWriter w;
    dxf.writeHeader(w);
    w.dxfString(9, "$INSUNITS");
    w.dxfInt(70, InsUnits(d.unit));
    w.dxfString(9, "$MEASUREMENT");
    w.dxfInt(70, d.unit == LengthUnit::Millimetre ? 1 : 0);
    w.sectionEnd();

    w.sectionTables();
    dxf.writeVPort(w);
    w.tableLinetypes(3);
    dxf.writeLinetype(w, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
    dxf.writeLinetype(w, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
    dxf.writeLinetype(w, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
    w.tableEnd();
    w.tableLayers(static_cast<int>(d.layers.size()) + 1);
    dxf.writeLayer(w, DL_LayerData("0", 0), DL_Attributes("", dxf_colour::kBlackOrWhite, 0, "CONTINUOUS", 1.0));
    for (const DxfLayer& l : d.layers)
        dxf.writeLayer(w, DL_LayerData(l.name, 0), DL_Attributes("", l.colour, 0, "CONTINUOUS", 1.0));
    w.tableEnd();
    w.tableStyle(1);
    dxf.writeStyle(w, DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
    w.tableEnd();
    dxf.writeView(w);
    dxf.writeUcs(w);
    w.tableAppid(1);
    dxf.writeAppid(w, "ACAD");
    w.tableEnd();
    dxf.writeDimStyle(w, 1, 1, 1, 1, 1);
    dxf.writeBlockRecord(w);
    w.tableEnd();
    w.sectionEnd();

    w.sectionBlocks();
    dxf.writeBlock(w, DL_BlockData("*Model_Space", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(w, "*Model_Space");
    dxf.writeBlock(w, DL_BlockData("*Paper_Space", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(w, "*Paper_Space");
    dxf.writeBlock(w, DL_BlockData("*Paper_Space0", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(w, "*Paper_Space0");
    w.sectionEnd();

    w.sectionEntities();
    for (const DxfEntity& e : d.entities) {
        if (e.layer < 0 || e.layer >= static_cast<int>(d.layers.size()) || e.points.empty()) continue;
        const DL_Attributes a(d.layers[static_cast<size_t>(e.layer)].name, kByLayer, -1, "BYLAYER", 1.0);
        const DxfPoint& p = e.points.front();
        switch (e.kind) {
        case DxfEntity::Kind::Line:
            if (e.points.size() == 2)
                dxf.writeLine(w, DL_LineData(p.x, p.y, 0.0, e.points[1].x, e.points[1].y, 0.0), a);
            break;
        case DxfEntity::Kind::Circle: dxf.writeCircle(w, DL_CircleData(p.x, p.y, 0.0, e.radius), a); break;
        case DxfEntity::Kind::Arc: dxf.writeArc(w, DL_ArcData(p.x, p.y, 0.0, e.radius, e.startDeg, e.endDeg), a); break;
        case DxfEntity::Kind::Polyline:
            dxf.writePolyline(w, DL_PolylineData(static_cast<int>(e.points.size()), 0, 0, e.closed ? 1 : 0), a);
            for (const DxfPoint& v : e.points) dxf.writeVertex(w, DL_VertexData(v.x, v.y, 0.0, 0.0));
            dxf.writePolylineEnd(w);
            break;
        }
    }
    w.sectionEnd();
    dxf.writeObjects(w);
    dxf.writeObjectsEnd(w);
    w.dxfEOF();
    return w.Take();
}

bool SaveDxfFile(const std::string& path, const DxfDrawing& drawing, std::string& error, FileSystem& files)
{
    return SaveTextFile(path, DxfText(drawing), error, files);
}
