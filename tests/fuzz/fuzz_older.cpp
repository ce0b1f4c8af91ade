// Fuzz target: the import of the older design file layout (.vgd), as the main
// window imports it (see fuzz::ExerciseLoad).
#include "FuzzCommon.h"
#include "files/OlderFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::MemoryFile file;
    fuzz::ExerciseLoad(&ImportOlderFile, file.Hold(data, size));
    return 0;
}
