// Fuzz target: any design (see fuzz::DesignFromBytes) drawn as the steam
// diagram.
#include "FuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    AppState s = fuzz::DesignFromBytes(data, size);
    fuzz::DrawDiagram(s, [](Canvas& c, AppState& st) { DrawSteamDiagram(c, st); });
    return 0;
}
