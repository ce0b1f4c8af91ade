#include "files/OlderFile.h"

#include "files/DesignValues.h"
#include "files/FileLayout.h"

#include <algorithm>

void StoreOlderRecords(AppState& s, const std::vector<NativeRecord>& records)
{
    const auto fields = file_layout::OlderFields(s);
    const std::size_t count = std::min<std::size_t>(records.size(), kOlderRecordCount);
    for (std::size_t r = 0; r < count; ++r)
        for (int f = 0; f < kNativeFields; ++f)
            if (float* p = fields[r][f]) *p = records[r][f];
    // The older layout does not say what its lengths are measured in.
    s.gear.Unit = LengthUnit::Unspecified;
}

DesignFileResult ImportOlderFile(AppState& s, const std::string& path, HugeValues huge, FileSystem& files)
{
    DesignFileResult result;
    RecordReader in(files);
    if (!in.Open(path)) {
        result.error = in.Error();
        result.cause = in.Cause();
        return result;
    }
    result.fileBytes = in.SizeInBytes();
    std::vector<NativeRecord> records;
    if (!ReadLeadingRecords(in, kOlderRecordCount, records, result.error)) {
        result.cause = in.Cause();
        return result;
    }
    in.Close();
    if (!AcceptValues(records, RecordLayout::Older, huge, result)) return result;

    StoreOlderRecords(s, records);
    s.display.DataSetName = DataSetNameFromPath(path);
    FinishDesignLoad(s, result);
    return result;
}
