// Fuzz target: the design as JSON. The bytes become a .json file that the
// program opens as the main window does: values judged first, huge ones
// loaded only when a second open accepts them. A refused text changes nothing
// and has its message; a loaded design is written as JSON again and that text
// reads back to the same records, bit for bit (and so to the same text, which
// is written from them; the unit tests compare the texts); then the gear is
// solved once, as the next tick does.
#include "FuzzCommon.h"
#include "files/JsonDesign.h"

namespace {

void ExerciseJsonLoad(const std::string& path)
{
    using fuzz::Check;
    AppState s = fuzz::StartedState();
    static const std::vector<RecordBytes> before = fuzz::SavedBytes(s);
    static const std::string name = s.display.DataSetName;

    DesignFileResult r = OpenJsonDesign(s, path, HugeValues::Refuse);
    if (!r.ok) {
        Check(fuzz::SavedBytes(s) == before && s.display.DataSetName == name && s.gear.Unit == LengthUnit::Unspecified,
              "a refused text changed the state");
        const FileMessage m = OpenFailureMessage("x.json", r);
        Check(!m.text.empty() && !m.OneLine().empty(), "a refused text has no message");
        if (r.values.verdict != ValueVerdict::Huge) {
            Check(r.values.verdict == ValueVerdict::NotFinite || !r.reason.empty() || !r.error.empty(),
                  "a text was refused for no reason");
            return;
        }
        Check(r.reason.empty() && !HugeValuesQuestion("x.json", r.values).empty(), "no question before huge values");
        r = OpenJsonDesign(s, path, HugeValues::Accept);
        Check(r.ok, "huge values refused although accepted");
    }
    Check(r.values.verdict != ValueVerdict::NotFinite, "a value that is not finite was loaded");
    Check(r.overlayRead && r.revArmMin == -r.revArmMax, "reverse arm bar or overlay not set");

    // What the program writes of the design reads back to the same design.
    const std::string text = DesignJsonText(s);
    AppState again = fuzz::StartedState();
    const DesignFileResult back = LoadJsonDesignText(again, text, HugeValues::Accept);
    Check(back.ok, "a written design text is refused");
    // The same records and unit: so the same text too, which is written from them.
    Check(fuzz::SavedBytes(again) == fuzz::SavedBytes(s) && again.gear.Unit == s.gear.Unit,
          "a written design text reads back to another design");

    TickModel(s);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::MemoryFile file;
    ExerciseJsonLoad(file.Hold(data, size));
    return 0;
}
