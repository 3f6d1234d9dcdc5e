#include "interchange/WorkbookReader.h"

#include "gamecfg/FileSys.h"
#include "interchange/SheetReaders.h"

#include <new>
#include <optional>

namespace kw {
namespace {

constexpr std::string_view kZipSignature = "PK\x03\x04";
constexpr std::string_view kEmptyZipSignature = "PK\x05\x06";
constexpr std::string_view kOle2Signature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
// An OpenDocument file is a zip archive whose first member, stored uncompressed, is its media type.
constexpr std::size_t kOdfMimetypeOffset = 30;
constexpr std::string_view kOdsMimetype = "mimetypeapplication/vnd.oasis.opendocument.spreadsheet";

bool IsOpenDocumentSpreadsheet(std::string_view bytes) {
    return bytes.starts_with(kZipSignature) && bytes.size() > kOdfMimetypeOffset &&
           bytes.substr(kOdfMimetypeOffset).starts_with(kOdsMimetype);
}

void Read(const std::string& path, const std::string& shownPath, TSheet& sheet, TWorkbookInfo& info,
          const TReadLimits& limits) {
    if (!fs::FileExists(path)) {
        // Reading a pipe or a device could wait for ever.
        throw sheetread::TBadWorkbook(fs::PathExists(path) ? "is not a regular file"
                                                           : "the file does not exist");
    }
    const std::optional<std::uintmax_t> size = fs::FileSize(path);
    if (!size) {
        throw sheetread::TBadWorkbook("the file cannot be read");
    }
    if (*size > limits.MaxPartBytes) {
        throw sheetread::TBadWorkbook("the file is larger than " + std::to_string(limits.MaxPartBytes) +
                                      " bytes");
    }
    const std::optional<std::string> bytes = fs::ReadFile(path);
    if (!bytes) {
        throw sheetread::TBadWorkbook("the file cannot be read");
    }
    if (bytes->empty()) {
        throw sheetread::TBadWorkbook("the file is empty");
    }
    if (IsOpenDocumentSpreadsheet(*bytes)) {
        throw sheetread::TBadWorkbook("OpenDocument spreadsheets are not read; save it as .xlsx");
    }
    info.Format = WorkbookFormatOf(*bytes);
    switch (info.Format) {
    case TWorkbookFormat::Xlsx:
        sheetread::ReadXlsx(*bytes, sheet, limits);
        break;
    case TWorkbookFormat::Xls:
        sheetread::ReadXls(*bytes, shownPath, sheet, limits);
        break;
    case TWorkbookFormat::Csv:
        info.Separator = sheetread::ReadCsv(*bytes, sheet, limits);
        break;
    }
}

} // namespace

TWorkbookFormat WorkbookFormatOf(std::string_view firstBytes) {
    if (firstBytes.starts_with(kZipSignature) || firstBytes.starts_with(kEmptyZipSignature)) {
        return TWorkbookFormat::Xlsx;
    }
    if (firstBytes.starts_with(kOle2Signature)) {
        return TWorkbookFormat::Xls;
    }
    return TWorkbookFormat::Csv;
}

void ReadWorkbook(const std::string& path, TSheet& sheet, TWorkbookInfo& info, const TReadLimits& limits) {
    sheet = TSheet();
    info = TWorkbookInfo();
    const std::string shownPath = fs::Resolve(path);
    try {
        Read(path, shownPath, sheet, info, limits);
    } catch (const sheetread::TBadWorkbook& problem) {
        sheet = TSheet();
        throw WorkbookError(shownPath + ": " + problem.what());
    } catch (const std::bad_alloc&) {
        sheet = TSheet();
        throw WorkbookError(shownPath + ": the workbook is too large to read");
    }
}

void ReadWorkbook(const std::string& path, TSheet& sheet, TWorkbookFormat& format,
                  const TReadLimits& limits) {
    TWorkbookInfo info;
    ReadWorkbook(path, sheet, info, limits);
    format = info.Format;
}

void ReadWorkbook(const std::string& path, TSheet& sheet, const TReadLimits& limits) {
    TWorkbookInfo info;
    ReadWorkbook(path, sheet, info, limits);
}

bool IsCommaDecimal(std::string_view text) {
    if (text.starts_with('-') || text.starts_with('+')) {
        text.remove_prefix(1);
    }
    const size_t comma = text.find(',');
    if (comma == std::string_view::npos || comma == 0 || comma + 1 == text.size()) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        if (i != comma && (text[i] < '0' || text[i] > '9')) {
            return false;
        }
    }
    return true;
}

} // namespace kw
