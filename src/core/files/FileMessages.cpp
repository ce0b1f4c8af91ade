#include "files/FileMessages.h"

#include "files/DesignValues.h"
#include "model/NumberText.h"
#include "platform/RecordFile.h"

#include <cmath>

namespace {

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

std::string HugeReason(const ValueCheck& c)
{
    return "values no gear can have (" + c.name + " = " + CompactText(c.value) + ")";
}

std::string OpenReason(const DesignFileResult& r)
{
    if (!r.reason.empty()) return r.reason;
    switch (r.values.verdict) {
    case ValueVerdict::NotFinite:
        return "it is not a design (" + r.values.name +
               (std::isnan(r.values.value) ? " is not a number)" : " is infinite)");
    case ValueVerdict::Huge: return "it holds " + HugeReason(r.values);
    case ValueVerdict::Sound: break;
    }
    if (r.cause.kind == FileErrorKind::EndOfFile) {
        if (r.fileBytes < 0) return "it is too short to be a design";
        return "it is too short to be a design (" + std::to_string(r.fileBytes) +
               (r.fileBytes == 1 ? " byte)" : " bytes)");
    }
    return IoErrorReason(r.cause, false);
}

// The standard message, where it tells more than the reason.
std::string Detail(const DesignFileResult& r) { return IoErrorReasonSaysAll(r.cause) ? std::string() : r.error; }

} // namespace

std::string FileMessage::OneLine() const { return detail.empty() ? text : text + " " + detail + "."; }

FileMessage OpenFailureMessage(const std::string& shownName, const DesignFileResult& r)
{
    return {"Cannot open " + Quoted(shownName) + ": " + OpenReason(r) + ".", Detail(r)};
}

FileMessage SaveFailureMessage(const std::string& shownName, const DesignFileResult& r)
{
    if (!r.reason.empty()) return {"Cannot save " + Quoted(shownName) + ": " + r.reason + ".", ""};
    return {"Cannot save " + Quoted(shownName) + ": " + IoErrorReason(r.cause, true) + ".", Detail(r)};
}

std::string HugeValuesQuestion(const std::string& shownName, const ValueCheck& c)
{
    return Quoted(shownName) + " holds " + HugeReason(c) + ". Open it anyway?";
}
