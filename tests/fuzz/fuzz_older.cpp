// Fuzz target: the import of the older design file layout (.vgd).
#include "FuzzCommon.h"
#include "files/OlderFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = fuzz::ScratchFile(".vgd");
    fuzz::WriteFile(path, data, size);
    AppState s = fuzz::StartedState();
    const DesignFileResult r = ImportOlderFile(s, path, HugeValues::Accept);
    if (r.ok) fuzz::ExerciseDesign(s);
    return 0;
}
