// Fuzz target: any design (see fuzz::DesignFromBytes) drawn as the sine
// diagram.
#include "FuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    AppState s = fuzz::DesignFromBytes(data, size);
    fuzz::DrawDiagram(s, [](Canvas& c, AppState& st) { DrawSineDiagram(c, st); });
    return 0;
}
