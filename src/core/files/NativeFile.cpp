#include "files/NativeFile.h"

#include "files/DesignValues.h"
#include "files/FileLayout.h"
#include "model/EngineData.h"
#include "model/Model.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

RecordBytes EncodeRecord(const NativeRecord& r)
{
    RecordBytes b{};
    for (int f = 0; f < kNativeFields; ++f) {
        const auto u = std::bit_cast<std::uint32_t>(r[f]);
        for (int k = 0; k < 4; ++k) b[f * 4 + k] = static_cast<std::uint8_t>(u >> (8 * k));
    }
    return b;
}

NativeRecord DecodeRecord(const RecordBytes& b)
{
    NativeRecord r{};
    for (int f = 0; f < kNativeFields; ++f) {
        std::uint32_t u = 0;
        for (int k = 0; k < 4; ++k) u |= static_cast<std::uint32_t>(b[f * 4 + k]) << (8 * k);
        r[f] = std::bit_cast<float>(u);
    }
    return r;
}

bool ReadLeadingRecords(RecordReader& in, int count, std::vector<NativeRecord>& out, std::string& error)
{
    out.clear();
    out.reserve(count > 0 ? static_cast<std::size_t>(count) : 0);
    for (int r = 0; r < count; ++r) {
        RecordBytes b;
        if (!in.Read(b)) {
            error = in.Error();
            return false;
        }
        out.push_back(DecodeRecord(b));
    }
    return true;
}

std::string DataSetNameFromPath(const std::string& path)
{
    const auto sep = path.find_last_of("/\\");
    std::string name = sep == std::string::npos ? path : path.substr(sep + 1);
    // Cut four characters, not bytes: a UTF-8 character may take several.
    for (int cut = 0; cut < 4 && !name.empty(); ++cut) {
        std::size_t n = name.size() - 1;
        while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80) --n;
        name.erase(n);
    }
    return name;
}

std::vector<NativeRecord> BuildNativeRecords(const AppState& s)
{
    const auto fields = file_layout::NativeFields(s);
    std::vector<NativeRecord> records(kNativeRecordCount);
    for (int r = 0; r < file_layout::kLaidOutRecords; ++r)
        for (int f = 0; f < kNativeFields; ++f) records[r][f] = *fields[r][f];
    // Record 71: the unit (0 while unspecified), three zeros and the current item.
    records[kNativeRecordCount - 1] = {UnitFieldValue(s.gear.Unit), 0, 0, 0, static_cast<float>(s.overlay.CurrentItem)};
    if (s.gear.HasEngine)
        for (const NativeRecord& r : EngineRecords(s.gear.Engine)) records.push_back(r);
    return records;
}

std::vector<NativeRecord> EngineRecords(const EngineData& e)
{
    std::vector<NativeRecord> records(kEngineRecordCount, NativeRecord{});
    auto put = [&records](int place, float v) { records[place / kNativeFields][place % kNativeFields] = v; };
    put(0, static_cast<float>(kEngineBlockLayout));
    put(1, static_cast<float>(kEngineValueCount));
    for (int k = 0; k < kEngineValueCount; ++k) put(2 + k, GetEngineValue(e, k));
    return records;
}

bool ReadEngineRecords(const std::vector<NativeRecord>& records, EngineData& e, int* field)
{
    const int count = static_cast<int>(records.size());
    if (count <= kNativeRecordCount) return false;
    const NativeRecord& head = records[kNativeRecordCount];
    if (head[0] != static_cast<float>(kEngineBlockLayout) || !(head[1] >= 0) || head[1] > 1e6f) return false;
    const int values = static_cast<int>(head[1]);
    const int fields = (count - kNativeRecordCount) * kNativeFields;
    for (int k = 0; k < kEngineValueCount && k < values && 2 + k < fields; ++k) {
        const int place = kNativeRecordCount * kNativeFields + 2 + k;
        SetEngineValue(e, k, records[place / kNativeFields][place % kNativeFields]);
        if (field) field[k] = place;
    }
    return true;
}

float UnitFieldValue(LengthUnit u) { return static_cast<float>(static_cast<int>(u)); }

LengthUnit UnitOfField(float v)
{
    if (v == 1.0f) return LengthUnit::Inch;
    if (v == 2.0f) return LengthUnit::Millimetre;
    return LengthUnit::Unspecified;
}

DesignFileResult WriteNativeFile(const AppState& s, const std::string& path, FileSystem& files)
{
    DesignFileResult result;
    const std::vector<NativeRecord> records = BuildNativeRecords(s);
    RecordWriter w(files);
    auto fail = [&] {
        result.error = w.Error();
        result.cause = w.Cause();
        return result;
    };
    if (!w.Create(path)) return fail();
    for (const NativeRecord& r : records)
        if (!w.Write(EncodeRecord(r))) return fail();
    if (!w.Commit()) return fail();
    result.ok = true;
    return result;
}

DesignFileResult SaveNativeFile(AppState& s, const std::string& path, FileSystem& files)
{
    DesignFileResult result = WriteNativeFile(s, path, files);
    if (result.ok) s.display.DataSetName = DataSetNameFromPath(path);
    return result;
}

void StoreNativeRecords(AppState& s, const std::vector<NativeRecord>& records)
{
    const int count = static_cast<int>(records.size());
    const bool overlay = count >= kNativeRecordCount;
    const int laidOut = overlay ? file_layout::kLaidOutRecords : std::min(count, kNativeShortRecords);
    const auto fields = file_layout::NativeFields(s);
    for (int r = 0; r < laidOut; ++r)
        for (int f = 0; f < kNativeFields; ++f) *fields[r][f] = records[r][f];
    // Record 71 goes field after field into one holder: field 5 remains.
    float holder = 1.0f;
    if (overlay)
        for (int f = 0; f < kNativeFields; ++f) holder = records[kNativeRecordCount - 1][f];
    s.overlay.CurrentItem = file_layout::ItemNumber(holder);
    // The unit from field 1 of record 71; a file without it says none.
    s.gear.Unit = overlay ? UnitOfField(records[kNativeRecordCount - 1][0]) : LengthUnit::Unspecified;
    // The engine data: defaults for what the block does not reach.
    EngineData engine = DefaultEngineData(s.gear);
    s.gear.HasEngine = ReadEngineRecords(records, engine);
    s.gear.Engine = s.gear.HasEngine ? engine : EngineData{};
}

void FinishDesignLoad(AppState& s, DesignFileResult& result)
{
    RecomputeRevArmCentre(s.gear);
    SetRevArmBarValues(s, result);
}

void SetRevArmBarValues(const AppState& s, DesignFileResult& result)
{
    const long double max = s.gear.RevArmMax;
    result.revArmMax = ToPixel(1000.0L * max);
    result.revArmMin = ToPixel(-1000.0L * max);
    result.revArmPosition = ToPixel(1000.0L * (static_cast<long double>(s.gear.RevArmPos) - s.gear.RevArmCentre()));
    result.ok = true;
}

DesignFileResult OpenNativeFile(AppState& s, const std::string& path, HugeValues huge, FileSystem& files)
{
    DesignFileResult result;
    RecordReader in(files);
    if (!in.Open(path)) {
        result.error = in.Error();
        result.cause = in.Cause();
        return result;
    }
    result.fileBytes = in.SizeInBytes();
    const long size = in.SizeInRecords();
    // The records this file must supply: all 71, or the first 18 of a file
    // without the overlay. A length in between fails at its first missing
    // record, as does a file shorter than 18 records.
    // A file with the engine block after record 71 gives that too.
    const int wanted = size > kNativeRecordCount    ? static_cast<int>(std::min<long>(size, kNativeEngineRecordsMax))
                       : size > kNativeNoOverlayMax ? kNativeRecordCount
                                                    : kNativeShortRecords;
    std::vector<NativeRecord> records;
    if (!ReadLeadingRecords(in, wanted, records, result.error)) {
        result.cause = in.Cause();
        return result;
    }
    in.Close();
    if (!AcceptValues(records, RecordLayout::Native, huge, result)) return result;

    StoreNativeRecords(s, records);
    s.display.DataSetName = DataSetNameFromPath(path);
    result.overlayRead = records.size() >= static_cast<std::size_t>(kNativeRecordCount);
    FinishDesignLoad(s, result);
    return result;
}
