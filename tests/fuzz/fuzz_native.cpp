// Fuzz target: the native design file. The bytes become a design file that the
// program opens as the main window does (see fuzz::ExerciseLoad).
#include "FuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::MemoryFile file;
    fuzz::ExerciseLoad(&OpenNativeFile, file.Hold(data, size));
    return 0;
}
