// A compound file is a small file system: a header, then sectors of 512 or 4096 bytes numbered from 0. The
// file allocation table (FAT) names each sector's successor in its chain; the FAT's own sectors are listed in
// the header and, in large files, in a chain of DIFAT sectors. A directory names the streams.
//
// The .xls library reads the workbook stream in its own way, and the pre-scan must see exactly the bytes the
// library will parse. So this reader follows the library where it departs from the format (it looks only
// at the first directory sector, and reads a small workbook from the start of the mini stream), and refuses
// what the library would read differently from the format instead of guessing.

#include "interchange/CompoundFile.h"

#include "interchange/LittleEndian.h"
#include "interchange/SheetReaders.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace kw::sheetread {
namespace {

constexpr uint32_t kFreeSector = 0xFFFFFFFF;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::string_view kSignature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr size_t kHeaderBytes = 512;
constexpr size_t kHeaderFatSectors = 109;
constexpr size_t kDirectoryEntryBytes = 128;

[[noreturn]] void Damaged() {
    throw TBadWorkbook(std::string(kDamagedXls));
}

class TCompoundFile {
public:
    explicit TCompoundFile(std::string_view file) : FFile(file) {
        if (file.size() < kHeaderBytes || !file.starts_with(kSignature)) {
            Damaged();
        }
        const uint16_t shift = Le16(file, 30);
        if (shift != 9 && shift != 12) {
            Damaged();
        }
        FSectorBytes = size_t{1} << shift;
        // Only whole sectors count: the library reads every sector whole.
        FSectorCount = file.size() / FSectorBytes > 0 ? file.size() / FSectorBytes - 1 : 0;
        ReadFatSectorList();
    }

    std::string_view Header() const { return FFile.substr(0, kHeaderBytes); }
    size_t SectorBytes() const { return FSectorBytes; }

    std::string_view Sector(uint32_t index) const {
        if (index >= FSectorCount) {
            Damaged();
        }
        return FFile.substr((static_cast<size_t>(index) + 1) * FSectorBytes, FSectorBytes);
    }

    // The chain from start, exactly as long as size needs; a chain of another length, one that loops and one
    // that leaves the file refuse the file. The walk takes at most as many steps as the file has sectors.
    std::string Chain(uint32_t start, uint64_t size) const {
        const uint64_t count = (size + FSectorBytes - 1) / FSectorBytes;
        if (count == 0 || count > FSectorCount) {
            Damaged();
        }
        std::string stream;
        stream.reserve(static_cast<size_t>(count * FSectorBytes));
        uint32_t sector = start;
        for (uint64_t step = 0; step < count; ++step) {
            stream.append(Sector(sector));
            const uint32_t next = Next(sector);
            // In a loop every sector has a successor, so a looping chain never ends where it should.
            if ((step + 1 == count) != (next == kEndOfChain)) {
                Damaged();
            }
            sector = next;
        }
        stream.resize(static_cast<size_t>(size));
        return stream;
    }

private:
    std::string_view FFile;
    size_t FSectorBytes = kHeaderBytes;
    uint32_t FSectorCount = 0;
    std::vector<uint32_t> FFatSectors; // the FAT's own sectors, in order

    uint32_t Next(uint32_t sector) const {
        const size_t perSector = FSectorBytes / 4;
        const size_t fatSector = sector / perSector;
        if (fatSector >= FFatSectors.size()) {
            Damaged();
        }
        return Le32(Sector(FFatSectors[fatSector]), (sector % perSector) * 4);
    }

    void AddFatSector(uint32_t sector) {
        // A FAT never needs more sectors than the file has; the bound keeps the list within the file's size.
        if (sector >= FSectorCount || FFatSectors.size() >= FSectorCount) {
            Damaged();
        }
        FFatSectors.push_back(sector);
    }

    void ReadFatSectorList() {
        for (size_t i = 0; i < kHeaderFatSectors; ++i) {
            const uint32_t sector = Le32(FFile, 76 + 4 * i);
            if (sector != kFreeSector) {
                AddFatSector(sector);
            }
        }
        const uint32_t difatCount = Le32(FFile, 72);
        if (difatCount > FSectorCount) {
            Damaged();
        }
        uint32_t difat = Le32(FFile, 68);
        const size_t entries = FSectorBytes / 4 - 1; // the last entry links to the next DIFAT sector
        for (uint32_t block = 0; block < difatCount; ++block) {
            const std::string_view sector = Sector(difat);
            for (size_t i = 0; i < entries; ++i) {
                const uint32_t fat = Le32(sector, 4 * i);
                if (fat == kEndOfChain) {
                    if (block + 1 != difatCount) {
                        Damaged(); // the library wants as many DIFAT sectors as the header says
                    }
                    break;
                }
                if (fat != kFreeSector) {
                    AddFatSector(fat);
                }
            }
            difat = Le32(sector, 4 * entries);
        }
        if (FFatSectors.empty()) {
            Damaged();
        }
    }
};

struct TEntry {
    uint32_t Start = 0;
    uint32_t Size = 0;
};

// A directory entry's name as the library compares it: UTF-16 up to a NUL or the declared length.
bool IsNamed(std::string_view entry, std::string_view name) {
    const size_t nameBytes = Le16(entry, 64);
    if (nameBytes % 2 != 0 || nameBytes < 2 * name.size()) {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        if (Le16(entry, 2 * i) != static_cast<unsigned char>(name[i])) {
            return false;
        }
    }
    return nameBytes == 2 * name.size() || Le16(entry, 2 * name.size()) == 0;
}

} // namespace

std::string XlsWorkbookStream(std::string_view file) {
    const TCompoundFile compound(file);
    const std::string_view header = compound.Header();
    // The library looks for the workbook in the first directory sector only, and takes the first entry of
    // that name whose stream has a start, and the root entry named before it.
    const std::string_view directory = compound.Sector(Le32(header, 48));
    std::optional<TEntry> root;
    std::optional<TEntry> workbook;
    for (size_t at = 0; at + kDirectoryEntryBytes <= directory.size() && !workbook;
         at += kDirectoryEntryBytes) {
        const std::string_view entry = directory.substr(at, kDirectoryEntryBytes);
        const TEntry found{Le32(entry, 116), Le32(entry, 120)};
        if (IsNamed(entry, "Root Entry")) {
            root = found;
        } else if ((IsNamed(entry, "Workbook") || IsNamed(entry, "Book")) && found.Start != kFreeSector) {
            workbook = found;
        }
    }
    if (!workbook) {
        throw TBadWorkbook(std::string(kNoWorkbookInFile));
    }
    const uint32_t miniCutoff = Le32(header, 64) > 0 ? Le32(header, 56) : 0;
    if (workbook->Size > miniCutoff) {
        return compound.Chain(workbook->Start, workbook->Size);
    }
    // A small workbook lives in the mini stream, which the library reads from its start whatever sector the
    // workbook starts at: one that starts elsewhere would be read as another stream's bytes.
    if (!root || workbook->Start != 0) {
        Damaged();
    }
    std::string mini = compound.Chain(root->Start, root->Size);
    if (workbook->Size > mini.size()) {
        Damaged();
    }
    mini.resize(workbook->Size);
    return mini;
}

} // namespace kw::sheetread
