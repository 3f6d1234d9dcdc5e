#include "interchange/ZipArchive.h"

#include "gamecfg/AsciiText.h"
#include "interchange/SheetReaders.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <cstring>

namespace kw::sheetread {

// minizip reads the archive through these callbacks, so the bytes come from kw::fs like every other file.
struct TZipStream {
    const std::string* Bytes = nullptr;
    uint64_t Pos = 0;
};

struct TZipArchive::TEntry {
    std::string StoredName;
    unz64_file_pos Position{};
    uint64_t Size = 0;
    bool Encrypted = false;
};

namespace {

voidpf OpenStream(voidpf opaque, const void* /*filename*/, int /*mode*/) {
    return opaque;
}

uLong ReadStream(voidpf /*opaque*/, voidpf stream, void* buf, uLong size) {
    auto* s = static_cast<TZipStream*>(stream);
    const uint64_t available = s->Pos < s->Bytes->size() ? s->Bytes->size() - s->Pos : 0;
    const uLong count = static_cast<uLong>(std::min<uint64_t>(available, size));
    if (count > 0) {
        std::memcpy(buf, s->Bytes->data() + s->Pos, count);
    }
    s->Pos += count;
    return count;
}

uLong WriteStream(voidpf, voidpf, const void*, uLong) {
    return 0;
}

ZPOS64_T TellStream(voidpf /*opaque*/, voidpf stream) {
    return static_cast<TZipStream*>(stream)->Pos;
}

long SeekStream(voidpf /*opaque*/, voidpf stream, ZPOS64_T offset, int origin) {
    auto* s = static_cast<TZipStream*>(stream);
    uint64_t base = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR) {
        base = s->Pos;
    } else if (origin == ZLIB_FILEFUNC_SEEK_END) {
        base = s->Bytes->size();
    }
    if (offset > s->Bytes->size() || base > s->Bytes->size() - offset) {
        return -1;
    }
    s->Pos = base + offset;
    return 0;
}

int CloseStream(voidpf, voidpf) {
    return 0;
}
int StreamError(voidpf, voidpf) {
    return 0;
}

} // namespace

std::string FoldPartName(const std::string& name) {
    std::string folded = name;
    std::replace(folded.begin(), folded.end(), '\\', '/');
    const size_t first = folded.find_first_not_of('/');
    folded.erase(0, first == std::string::npos ? folded.size() : first);
    return AsciiLower(std::move(folded));
}

TZipArchive::TZipArchive(const std::string& bytes, uint64_t maxPartBytes)
    : FStream(std::make_unique<TZipStream>()), FMaxPartBytes(maxPartBytes) {
    FStream->Bytes = &bytes;
    zlib_filefunc64_def functions{};
    functions.zopen64_file = OpenStream;
    functions.zread_file = ReadStream;
    functions.zwrite_file = WriteStream;
    functions.ztell64_file = TellStream;
    functions.zseek64_file = SeekStream;
    functions.zclose_file = CloseStream;
    functions.zerror_file = StreamError;
    functions.opaque = FStream.get();
    FZip = unzOpen2_64("", &functions);
    if (FZip == nullptr) {
        throw TBadWorkbook("the zip archive is damaged (its directory cannot be read)");
    }
    for (int status = unzGoToFirstFile(FZip); status != UNZ_END_OF_LIST_OF_FILE;
         status = unzGoToNextFile(FZip)) {
        unz_file_info64 info{};
        char name[1024];
        if (status != UNZ_OK ||
            unzGetCurrentFileInfo64(FZip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) {
            unzClose(FZip);
            throw TBadWorkbook("the zip archive is damaged (its directory cannot be read)");
        }
        auto entry = std::make_shared<TEntry>();
        entry->StoredName.assign(name, strnlen(name, sizeof name));
        entry->Size = info.uncompressed_size;
        entry->Encrypted = (info.flag & 1u) != 0;
        unzGetFilePos64(FZip, &entry->Position);
        FEntries.emplace(FoldPartName(entry->StoredName), std::move(entry));
    }
}

TZipArchive::~TZipArchive() {
    unzClose(FZip);
}

const TZipArchive::TEntry* TZipArchive::Find(const std::string& partName) const {
    const auto found = FEntries.find(FoldPartName(partName));
    return found == FEntries.end() ? nullptr : found->second.get();
}

bool TZipArchive::Has(const std::string& partName) const {
    return Find(partName) != nullptr;
}

std::string TZipArchive::Read(const std::string& partName) const {
    const TEntry* entry = Find(partName);
    if (entry == nullptr) {
        throw TBadWorkbook("the part \"" + partName + "\" is missing");
    }
    const std::string& name = entry->StoredName;
    const std::string tooLarge =
        "the part \"" + name + "\" is larger than " + std::to_string(FMaxPartBytes) + " bytes when unpacked";
    if (entry->Size > FMaxPartBytes) {
        throw TBadWorkbook(tooLarge);
    }
    if (entry->Encrypted) {
        throw TBadWorkbook("the part \"" + name + "\" is encrypted");
    }
    unz64_file_pos position = entry->Position;
    if (unzGoToFilePos64(FZip, &position) != UNZ_OK || unzOpenCurrentFile(FZip) != UNZ_OK) {
        throw TBadWorkbook("the zip archive is damaged (the part \"" + name + "\" cannot be opened)");
    }
    std::string content;
    content.reserve(static_cast<size_t>(entry->Size));
    char chunk[65536];
    int read = 0;
    while ((read = unzReadCurrentFile(FZip, chunk, sizeof chunk)) > 0) {
        // The directory may lie about the size; inflation stops at the limit all the same.
        if (content.size() + static_cast<size_t>(read) > FMaxPartBytes) {
            unzCloseCurrentFile(FZip);
            throw TBadWorkbook(tooLarge);
        }
        content.append(chunk, static_cast<size_t>(read));
    }
    const int closed = unzCloseCurrentFile(FZip);
    if (read < 0 || closed != UNZ_OK || content.size() != entry->Size) {
        throw TBadWorkbook("the zip archive is damaged (the part \"" + name + "\" cannot be unpacked)");
    }
    return content;
}

} // namespace kw::sheetread
