// Fuzz target: any design (see fuzz::DesignFromBytes) drawn as the port
// open/close graph the bytes choose: forward, reverse, or both in turn.
#include "FuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    AppState s = fuzz::DesignFromBytes(data, size);
    fuzz::DrawDiagram(s, [](Canvas& c, AppState& st) { RedrawPortDiagram(c, st, true); });
    return 0;
}
