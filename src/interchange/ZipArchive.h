#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

// A zip archive held in memory, read part by part. Part names are matched regardless of ASCII case and of
// the separator, since writers differ in both. Every problem is a sheetread::TBadWorkbook.
namespace kw::sheetread {

struct TZipStream;

class TZipArchive {
public:
    // The bytes must outlive the archive. No part larger than maxPartBytes is ever inflated.
    TZipArchive(const std::string& bytes, uint64_t maxPartBytes);
    ~TZipArchive();
    TZipArchive(const TZipArchive&) = delete;
    TZipArchive& operator=(const TZipArchive&) = delete;

    bool Has(const std::string& partName) const;
    // The inflated part; throws when it is missing, too large, encrypted or damaged.
    std::string Read(const std::string& partName) const;

private:
    struct TEntry;
    std::unique_ptr<TZipStream> FStream;
    void* FZip = nullptr;
    uint64_t FMaxPartBytes;
    std::map<std::string, std::shared_ptr<TEntry>> FEntries; // by folded name

    const TEntry* Find(const std::string& partName) const;
};

// The part name as the archive lookup compares it: forward slashes, no leading slash, ASCII lower case.
std::string FoldPartName(const std::string& name);

} // namespace kw::sheetread
