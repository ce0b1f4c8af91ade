#include "files/OlderFile.h"

#include "files/FileLayout.h"

#include <algorithm>

void StoreOlderRecords(AppState& s, const std::vector<NativeRecord>& records)
{
    auto fields = file_layout::NativeFields(s);
    // The older layout differs from the native one in two fields only.
    fields[10][2] = &s.view.ViewOffsetX; // where the native file keeps GraphicZoom
    fields[11][1] = nullptr;             // RevArmPos: recomputed anyway
    const std::size_t count = std::min<std::size_t>(records.size(), kOlderRecordCount);
    for (std::size_t r = 0; r < count; ++r)
        for (int f = 0; f < kNativeFields; ++f)
            if (float* p = fields[r][f]) *p = records[r][f];
}

DesignFileResult ImportOlderFile(AppState& s, const std::string& path)
{
    DesignFileResult result;
    RecordReader in;
    if (!in.Open(path)) {
        result.error = in.Error();
        return result;
    }
    std::vector<NativeRecord> records;
    if (!ReadLeadingRecords(in, kOlderRecordCount, records, result.error)) return result;
    in.Close();

    StoreOlderRecords(s, records);
    s.display.DataSetName = DataSetNameFromPath(path);
    FinishDesignLoad(s, result);
    return result;
}
