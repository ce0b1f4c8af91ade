// Fuzz target: any design (see fuzz::DesignFromBytes) drawn as main-window
// frames over one revolution of the driver.
#include "FuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    AppState s = fuzz::DesignFromBytes(data, size);
    fuzz::DrawMainFrames(s);
    return 0;
}
