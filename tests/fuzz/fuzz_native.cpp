// Fuzz target: the native design file. The bytes become a .vgw file, the
// program opens it, and a design that loads is run through everything that
// draws it.
#include "FuzzCommon.h"
#include "files/NativeFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = fuzz::ScratchFile(".vgw");
    fuzz::WriteFile(path, data, size);
    AppState s = fuzz::StartedState();
    // Huge values load as they do when the user answers Yes.
    const DesignFileResult r = OpenNativeFile(s, path, HugeValues::Accept);
    if (r.ok) fuzz::ExerciseDesign(s);
    return 0;
}
