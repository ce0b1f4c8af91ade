#include "files/JsonDesign.h"

#include "files/DesignValues.h"
#include "files/JsonText.h"
#include "model/EngineData.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "platform/FileSystem.h"
#include "platform/RecordFile.h"

#include <nlohmann/json.hpp>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <exception>
#include <memory>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

// A design text is some 15 KB; anything far beyond is no design.
constexpr long long kLargestDesignText = 4LL << 20;
// A design nests four levels deep.
constexpr std::size_t kDeepestNesting = 32;

constexpr int kDimensionCodes[] = {1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,
                                   16,  17,  18,  19,  20,  21,  22,  101, 102, 103, 104, 105, 106, 107, 108,
                                   109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122};

// ---------------------------------------------------------------- the text as a tree

// A JSON value as read. Numbers keep their text, so that they are read once,
// through the number module, to the nearest float.
struct Node {
    enum class Type { Null, Boolean, Number, String, Array, Object };
    struct Pair;
    Type type = Type::Null;
    std::string text; // a number's text ("." as its point) or a string
    std::vector<Node> items;
    std::vector<Pair> members; // in order
    // A key given twice: the last one counts.
    const Node* Member(std::string_view key) const;
};

struct Node::Pair {
    std::string key;
    Node value;
};

const Node* Node::Member(std::string_view key) const
{
    for (auto it = members.rbegin(); it != members.rend(); ++it)
        if (it->key == key) return &it->value;
    return nullptr;
}

const char* TypeName(Node::Type t)
{
    switch (t) {
    case Node::Type::Null: return "null";
    case Node::Type::Boolean: return "true or false";
    case Node::Type::Number: return "a number";
    case Node::Type::String: return "a text";
    case Node::Type::Array: return "a list";
    case Node::Type::Object: return "an object";
    }
    return "";
}

// Line and column of a byte position, counted from 1.
std::string Where(const std::string& text, std::size_t position)
{
    if (position > text.size()) position = text.size();
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i + 1 < position; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// Builds the tree from the library's parse events.
class TreeBuilder {
public:
    using json = nlohmann::json;
    TreeBuilder(const std::string& text, Node& root) : text_(text), root_(root) {}

    bool null() { return Add(Node{}); }
    bool boolean(bool) { return Add(Node{Node::Type::Boolean, {}, {}, {}}); }
    bool number_integer(json::number_integer_t v) { return Add(Number(std::to_string(v))); }
    bool number_unsigned(json::number_unsigned_t v) { return Add(Number(std::to_string(v))); }
    bool number_float(json::number_float_t, const json::string_t& s)
    {
        // The library writes the locale's decimal point into the text it
        // hands on; the text is a valid JSON number, so anything but digits,
        // signs and exponents is that point.
        std::string t = s;
        for (char& c : t)
            if (!((c >= '0' && c <= '9') || c == '-' || c == '+' || c == 'e' || c == 'E')) c = '.';
        return Add(Number(std::move(t)));
    }
    bool string(json::string_t& s) { return Add(Node{Node::Type::String, s, {}, {}}); }
    bool binary(json::binary_t&) { return false; } // never in JSON text
    bool start_object(std::size_t) { return Open(Node::Type::Object); }
    bool key(json::string_t& k)
    {
        key_ = k;
        return true;
    }
    bool end_object() { return Close(); }
    bool start_array(std::size_t) { return Open(Node::Type::Array); }
    bool end_array() { return Close(); }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e)
    {
        if (reason.empty()) {
            reason = e.id == 406 ? "it holds a number too large for any value (" + Where(text_, position) + ")"
                                 : "it is not valid JSON (" + Where(text_, position) + ")";
        }
        return false;
    }

    std::string reason; // why the text is refused

private:
    static Node Number(std::string text) { return Node{Node::Type::Number, std::move(text), {}, {}}; }

    // Places a value in the container open now (or as the root) and returns it.
    Node* Place(Node&& n)
    {
        if (open_.empty()) {
            root_ = std::move(n);
            return &root_;
        }
        Node& parent = *open_.back();
        if (parent.type == Node::Type::Object) {
            parent.members.push_back({std::move(key_), std::move(n)});
            return &parent.members.back().value;
        }
        parent.items.push_back(std::move(n));
        return &parent.items.back();
    }
    bool Add(Node&& n)
    {
        Place(std::move(n));
        return true;
    }
    // A container's own vectors only grow while it is the innermost one open,
    // so the pointers to the open ones stay valid.
    bool Open(Node::Type type)
    {
        if (open_.size() >= kDeepestNesting) {
            reason =
                "it is not a design (its text nests more than " + std::to_string(kDeepestNesting) + " levels deep)";
            return false;
        }
        Node n;
        n.type = type;
        open_.push_back(Place(std::move(n)));
        return true;
    }
    bool Close()
    {
        open_.pop_back();
        return true;
    }

    const std::string& text_;
    Node& root_;
    std::vector<Node*> open_;
    std::string key_;
};

bool ParseTree(const std::string& text, Node& root, std::string& reason)
{
    TreeBuilder builder(text, root);
    bool ok = false;
    try {
        ok = nlohmann::json::sax_parse(text, &builder, nlohmann::json::input_format_t::json, true, false);
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok) reason = builder.reason.empty() ? "it could not be read" : builder.reason;
    return ok;
}

// ---------------------------------------------------------------- what a design text holds

enum class Layout { Lines, Line }; // an object over several lines, or on one

const char* UnitName(LengthUnit u)
{
    switch (u) {
    case LengthUnit::Inch: return "in";
    case LengthUnit::Millimetre: return "mm";
    case LengthUnit::Unspecified: break;
    }
    return "unspecified";
}

// A dimension's place, const for the writer.
template <class S>
auto& DimensionAt(S& s, int code)
{
    const float* p = DimensionField(s.gear, code);
    if constexpr (std::is_const_v<S>) {
        return *p;
    } else {
        return *const_cast<float*>(p);
    }
}

// Every value of the text and the place of the state it belongs to, in the
// order the text has them: the writer and the reader go through this one
// list. `current` is the number of the line or circle being edited.
template <class V, class S, class F>
void VisitDesign(V& v, S& s, F& current, bool& centreGiven)
{
    auto& g = s.gear;
    auto& w = s.view;
    v.Units("units", g.Unit);
    v.Object("dimensions", Layout::Lines, [&] {
        for (int code : kDimensionCodes) v.Number(DimensionName(code), DimensionAt(s, code));
    });
    v.Object("reverseArm", Layout::Lines, [&] {
        v.Number("RevArmPos", g.RevArmPos);
        v.Optional("RevArmCentre", g.RevArm[0], centreGiven); // mid gear
    });
    auto preset = [&](const std::string& key, int k) {
        v.Object(key, Layout::Line, [&] {
            v.Number("scale", w.PresetTable[3 * k]);
            v.Number("x", w.PresetTable[3 * k + 1]);
            v.Number("y", w.PresetTable[3 * k + 2]);
        });
    };
    v.Object("view", Layout::Lines, [&] {
        v.Number("ViewScale", w.ViewScale);
        v.Number("ViewOffsetX", w.ViewOffsetX);
        v.Number("ViewOffsetY", w.ViewOffsetY);
        v.Number("GraphicZoom", w.GraphicZoom);
        preset("pending", 0);
        v.Object("presets", Layout::Lines, [&] {
            for (int k = 1; k <= 6; ++k) preset(std::to_string(k), k);
        });
    });
    v.Object("graphs", Layout::Lines, [&] {
        v.Number("GraphVerticalScale", s.graph.GraphVerticalScale);
        v.Number("GraphRevArmPos", s.graph.GraphRevArmPos);
        v.Numbers("RevArmPositions", &g.RevArm[1], 9);
    });
    v.Object("linesAndCircles", Layout::Lines, [&] {
        v.Number("current", current);
        v.Items("items", kOverlayItems, [&](int k) {
            auto& it = s.overlay.Item[k];
            v.Number("Kind", it.Kind);
            v.Number("Colour", it.Colour);
            v.Number("Reference", it.Reference);
            v.Number("Pivot1Index", it.Pivot1Index);
            v.Number("Pivot2Index", it.Pivot2Index);
            v.Number("X1", it.X1);
            v.Number("Y1", it.Y1);
            v.Number("X2", it.X2);
            v.Number("Y2", it.Y2);
            v.Number("Pivot1X0", it.Pivot1X0);
            v.Number("Pivot1Y0", it.Pivot1Y0);
            v.Number("Pivot2X0", it.Pivot2X0);
            v.Number("Pivot2Y0", it.Pivot2Y0);
        });
    });
    // The engine data, when the design has them.
    v.Engine("engine", g);
    // Values the native file keeps that are nearly always what the program
    // would put there: written only when they are not.
    v.OptionalObject("kept", [&] {
        v.Kept("RevHeadPivotX", g.PointX[9], g.PointX[8]);
        v.Kept("RevHeadPivotY", g.PointY[9], g.PointY[8]);
        v.Kept("ValveRodJointHeight", g.PointY[4], 0.0f);
        v.Kept("CylSpare", g.CylDims[ciCylSpare], 0.0f);
    });
}

// ---------------------------------------------------------------- writing

// Writes the text as it goes: two spaces of indentation per level, an object
// over several lines or on one.
class Writer {
public:
    Writer()
    {
        out_.reserve(8192);
        Open(Layout::Lines);
    }

    void Put(const std::string& key, const std::string& value)
    {
        Key(key);
        out_ += value;
    }
    void Units(const std::string& key, LengthUnit u) { Put(key, JsonQuoted(UnitName(u))); }
    void Number(const std::string& key, float v) { Put(key, JsonFloat(v)); }
    void Optional(const std::string& key, float v, bool&) { Number(key, v); }
    void Kept(const std::string& key, float v, float usual)
    {
        if (std::bit_cast<std::uint32_t>(v) != std::bit_cast<std::uint32_t>(usual)) Number(key, v);
    }
    // Left out when the design has no engine data.
    void Engine(const std::string& key, const Gear& g)
    {
        if (!g.HasEngine) return;
        Key(key);
        Open(Layout::Lines);
        for (int k = 0; k < kEngineValueCount; ++k) Number(EngineValueName(k), GetEngineValue(g.Engine, k));
        Close();
    }
    void Numbers(const std::string& key, const float* first, int count)
    {
        Key(key);
        out_ += '[';
        for (int i = 0; i < count; ++i) {
            if (i) out_ += ", ";
            out_ += JsonFloat(first[i]);
        }
        out_ += ']';
    }
    template <class Fn>
    void Object(const std::string& key, Layout layout, Fn fn)
    {
        Key(key);
        Open(layout);
        fn();
        Close();
    }
    // Left out when it has nothing to hold.
    template <class Fn>
    void OptionalObject(const std::string& key, Fn fn)
    {
        const std::size_t mark = out_.size();
        const Frame outer = frames_.back();
        Key(key);
        Open(Layout::Lines);
        fn();
        if (!frames_.back().first) {
            Close();
            return;
        }
        frames_.pop_back();
        frames_.back() = outer;
        out_.resize(mark);
    }
    template <class Fn>
    void Items(const std::string& key, int count, Fn fn)
    {
        Key(key);
        out_ += "[\n";
        for (int k = 1; k <= count; ++k) {
            Indent(frames_.size() + 1);
            Open(Layout::Line);
            fn(k);
            Close();
            out_ += k < count ? ",\n" : "\n";
        }
        Indent(frames_.size());
        out_ += ']';
    }
    std::string Finish()
    {
        Close();
        return std::move(out_);
    }

private:
    struct Frame {
        Layout layout;
        bool first;
    };
    void Indent(std::size_t levels) { out_.append(2 * levels, ' '); }
    void Open(Layout layout)
    {
        out_ += '{';
        frames_.push_back({layout, true});
    }
    void Close()
    {
        const Frame f = frames_.back();
        frames_.pop_back();
        if (f.layout == Layout::Lines) {
            out_ += '\n';
            Indent(frames_.size());
        }
        out_ += '}';
    }
    // The separator before a member, and its key.
    void Key(const std::string& key)
    {
        Frame& f = frames_.back();
        if (!f.first) out_ += ',';
        if (f.layout == Layout::Lines) {
            out_ += '\n';
            Indent(frames_.size());
        } else if (!f.first) {
            out_ += ' ';
        }
        f.first = false;
        out_ += JsonQuoted(key);
        out_ += ": ";
    }

    std::string out_;
    std::vector<Frame> frames_;
};

// ---------------------------------------------------------------- reading

// Reads the values of the tree into their places; the first problem found
// stops it, with the key it is about.
class Reader {
public:
    explicit Reader(const Node& root) : node_(&root) {}

    std::string reason;
    bool Failed() const { return !reason.empty(); }

    void Units(const std::string& key, LengthUnit& u)
    {
        const Node* n = Find(key, Node::Type::String);
        if (!n) return;
        for (LengthUnit candidate : {LengthUnit::Unspecified, LengthUnit::Inch, LengthUnit::Millimetre}) {
            if (n->text == UnitName(candidate)) {
                u = candidate;
                return;
            }
        }
        Fail(Quoted(Path(key)) + " must be \"unspecified\", \"in\" or \"mm\", not " + JsonQuoted(n->text));
    }
    void Number(const std::string& key, float& v)
    {
        if (const Node* n = Find(key))
            ReadValue(
                *n, [&] { return Path(key); }, v);
    }
    // Written always, read when given (`given` tells).
    void Optional(const std::string& key, float& v, bool& given)
    {
        given = false;
        if (Failed() || !node_) return;
        const Node* n = node_->Member(key);
        if (!n) return;
        given = true;
        ReadValue(
            *n, [&] { return Path(key); }, v);
    }
    // Given only when it is not `usual`.
    void Kept(const std::string& key, float& v, float usual)
    {
        v = usual;
        bool given = false;
        Optional(key, v, given);
    }
    // Optional: given, the design has engine data, each value left out
    // taking its default for the design's unit and bore (read before it).
    void Engine(const std::string& key, Gear& g)
    {
        g.HasEngine = false;
        if (Failed() || !node_) return;
        const Node* n = node_->Member(key);
        if (!n) return;
        if (n->type != Node::Type::Object) {
            WrongType(Path(key), Node::Type::Object, n->type);
            return;
        }
        EngineData e = DefaultEngineData(g);
        Within(n, Path(key), [&] {
            for (int k = 0; k < kEngineValueCount; ++k) {
                float v = GetEngineValue(e, k);
                bool given = false;
                Optional(EngineValueName(k), v, given);
                SetEngineValue(e, k, v);
            }
        });
        g.HasEngine = true;
        g.Engine = e;
    }
    void Numbers(const std::string& key, float* first, int count)
    {
        const Node* n = Find(key, Node::Type::Array);
        if (!n) return;
        if (n->items.size() != static_cast<std::size_t>(count)) {
            Fail(Quoted(Path(key)) + " must be a list of " + std::to_string(count) + " numbers, not " +
                 std::to_string(n->items.size()));
            return;
        }
        for (int i = 0; i < count && !Failed(); ++i)
            ReadValue(
                n->items[i], [&] { return Path(key) + "[" + std::to_string(i + 1) + "]"; }, first[i]);
    }
    template <class Fn>
    void Object(const std::string& key, Layout, Fn fn)
    {
        if (const Node* n = Find(key, Node::Type::Object)) Within(n, Path(key), fn);
    }
    template <class Fn>
    void OptionalObject(const std::string& key, Fn fn)
    {
        if (Failed()) return;
        const Node* n = node_ ? node_->Member(key) : nullptr;
        if (n && n->type != Node::Type::Object) {
            WrongType(Path(key), Node::Type::Object, n->type);
            return;
        }
        Within(n, Path(key), fn); // absent: every value takes its usual value
    }
    template <class Fn>
    void Items(const std::string& key, int most, Fn fn)
    {
        const Node* n = Find(key, Node::Type::Array);
        if (!n) return;
        if (n->items.size() > static_cast<std::size_t>(most)) {
            Fail(Quoted(Path(key)) + " holds " + std::to_string(n->items.size()) + " items; a design has at most " +
                 std::to_string(most));
            return;
        }
        for (std::size_t i = 0; i < n->items.size() && !Failed(); ++i) {
            const Node& item = n->items[i];
            const std::string path = Path(key) + "[" + std::to_string(i + 1) + "]";
            if (item.type != Node::Type::Object) {
                WrongType(path, Node::Type::Object, item.type);
                return;
            }
            Within(&item, path, [&] { fn(static_cast<int>(i) + 1); });
        }
    }

private:
    static std::string Quoted(const std::string& path) { return "\"" + path + "\""; }
    std::string Path(const std::string& key) const { return path_.empty() ? key : path_ + "." + key; }
    void Fail(const std::string& what)
    {
        if (!Failed()) reason = "it is not a design (" + what + ")";
    }
    void WrongType(const std::string& path, Node::Type want, Node::Type got)
    {
        Fail(Quoted(path) + " must be " + TypeName(want) + ", not " + TypeName(got));
    }
    // A required member of the object read now, of type `want`.
    const Node* Find(const std::string& key, Node::Type want = Node::Type::Number)
    {
        if (Failed() || !node_) return nullptr;
        const Node* n = node_->Member(key);
        if (!n) {
            Fail("the key " + Quoted(Path(key)) + " is missing");
            return nullptr;
        }
        // A number may be written as one of the texts of values that are no number.
        if (n->type != want && !(want == Node::Type::Number && n->type == Node::Type::String)) {
            WrongType(Path(key), want, n->type);
            return nullptr;
        }
        return n;
    }
    // `path` names the value in a message (made only for one).
    template <class PathFn>
    void ReadValue(const Node& n, const PathFn& path, float& v)
    {
        if (n.type == Node::Type::Number) {
            if (!ReadFloat(n.text, v)) Fail(Quoted(path()) + " is a number no value can hold");
            return;
        }
        if (n.type == Node::Type::String) {
            if (!FloatFromJsonString(n.text, v))
                Fail(Quoted(path()) + " must be a number, not the text " + JsonQuoted(n.text));
            return;
        }
        WrongType(path(), Node::Type::Number, n.type);
    }
    template <class Fn>
    void Within(const Node* n, const std::string& path, Fn fn)
    {
        const Node* outerNode = node_;
        std::string outerPath = std::move(path_);
        node_ = n;
        path_ = path;
        fn();
        node_ = outerNode;
        path_ = std::move(outerPath);
    }

    const Node* node_;
    std::string path_;
};

// The format and version, before anything else is read.
std::string CheckFormatAndVersion(const Node& root)
{
    if (root.type != Node::Type::Object)
        return std::string("it is not a design (the text is ") + TypeName(root.type) + ", not an object)";
    const std::string wanted = JsonQuoted(kJsonDesignFormat);
    const Node* format = root.Member("format");
    if (!format) return "it is not a design (the key \"format\" is missing)";
    if (format->type != Node::Type::String)
        return std::string("it is not a design (\"format\" must be ") + wanted + ", not " + TypeName(format->type) +
               ")";
    if (format->text != kJsonDesignFormat)
        return "it is not a design (\"format\" must be " + wanted + ", not " + JsonQuoted(format->text) + ")";
    const Node* version = root.Member("version");
    if (!version) return "it is not a design (the key \"version\" is missing)";
    if (version->type != Node::Type::Number)
        return std::string("it is not a design (\"version\" must be a number, not ") + TypeName(version->type) + ")";
    float v = 0;
    if (!ReadFloat(version->text, v) || v != static_cast<float>(kJsonDesignVersion)) {
        return "it is a design of version " + version->text + ", which this program cannot read (it reads version " +
               std::to_string(kJsonDesignVersion) + ")";
    }
    return {};
}

// The whole file as text (the one read of the JSON reader). On failure the
// result holds the standard message, or the reason for a file far too large.
bool ReadWholeText(const std::string& path, std::string& text, DesignFileResult& r, FileSystem& files)
{
    auto fail = [&r](const FileError& error) {
        r.error = IoErrorText(error);
        r.cause = error;
        return false;
    };
    if (path.empty()) return fail(FileError{FileErrorKind::NotFound, 0});
    std::unique_ptr<InputFile> in;
    long long size = 0;
    if (const FileError e = files.OpenForReading(path, in, size)) return fail(e);
    r.fileBytes = size;
    if (size > kLargestDesignText) {
        r.reason = "it is too large to be a design (" + std::to_string(size) + " bytes)";
        return false;
    }
    text.assign(static_cast<std::size_t>(size), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        std::size_t got = 0;
        if (const FileError e = in->Read(reinterpret_cast<std::uint8_t*>(text.data()) + done, text.size() - done, got))
            return fail(e);
        if (got == 0) break;
        done += got;
    }
    text.resize(done);
    return true;
}

} // namespace

bool IsJsonDesignPath(const std::string& path)
{
    if (path.size() < 5) return false;
    std::string ext = path.substr(path.size() - 5);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext == ".json";
}

std::string JsonDataSetName(const std::string& path)
{
    if (!IsJsonDesignPath(path)) return DataSetNameFromPath(path);
    const auto sep = path.find_last_of("/\\");
    const std::string name = sep == std::string::npos ? path : path.substr(sep + 1);
    return name.substr(0, name.size() - 5);
}

std::string DesignJsonText(const AppState& s)
{
    Writer w;
    w.Put("format", JsonQuoted(kJsonDesignFormat));
    w.Put("version", std::to_string(kJsonDesignVersion));
    float current = static_cast<float>(s.overlay.CurrentItem);
    bool centre = true;
    VisitDesign(w, s, current, centre);
    return w.Finish() + "\n";
}

DesignFileResult ExportJsonDesign(const AppState& s, const std::string& path, FileSystem& files)
{
    DesignFileResult result;
    const std::string text = DesignJsonText(s);
    RecordWriter out(files);
    if (!out.Create(path) || !out.WriteBytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()) ||
        !out.Commit()) {
        result.error = out.Error();
        result.cause = out.Cause();
        return result;
    }
    result.ok = true;
    return result;
}

DesignFileResult LoadJsonDesignText(AppState& s, const std::string& text, HugeValues huge)
{
    DesignFileResult result;
    if (text.empty()) {
        result.reason = "it is empty";
        return result;
    }
    Node root;
    if (!ParseTree(text, root, result.reason)) return result;
    result.reason = CheckFormatAndVersion(root);
    if (!result.reason.empty()) return result;

    // The values go into the places of a scratch state, from which the native
    // writer makes the records a file of this design would hold.
    const auto scratch = std::make_unique<AppState>();
    float current = 1;
    bool centreGiven = false;
    Reader reader(root);
    VisitDesign(reader, *scratch, current, centreGiven);
    if (reader.Failed()) {
        result.reason = reader.reason;
        return result;
    }
    std::vector<NativeRecord> records = BuildNativeRecords(*scratch);
    records[kNativeRecordCount - 1][kNativeFields - 1] = current;

    const RecordLayout layout = centreGiven ? RecordLayout::NativeMidGearKept : RecordLayout::Native;
    if (!AcceptValues(records, layout, huge, result)) return result;
    StoreNativeRecords(s, records);
    s.gear.Unit = scratch->gear.Unit;
    result.overlayRead = true;
    if (!centreGiven) {
        // Mid gear found and the arm put there, as a native open does.
        FinishDesignLoad(s, result);
        return result;
    }
    // The arm and mid gear as written: solved once at angle 0 as the native
    // open's re-centring solves, without moving them, so that the design is
    // the one that was written, bit for bit.
    Gear& g = s.gear;
    const float angle = g.DriverAngle;
    g.DriverAngle = 0;
    SolveLinkage(g);
    g.DriverAngle = angle;
    SetRevArmBarValues(s, result);
    return result;
}

DesignFileResult OpenJsonDesign(AppState& s, const std::string& path, HugeValues huge, FileSystem& files)
{
    DesignFileResult result;
    std::string text;
    if (!ReadWholeText(path, text, result, files)) return result;
    const long long bytes = result.fileBytes;
    result = LoadJsonDesignText(s, text, huge);
    result.fileBytes = bytes;
    if (result.ok) s.display.DataSetName = JsonDataSetName(path);
    return result;
}
