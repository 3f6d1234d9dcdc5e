#pragma once

#include <string>
#include <string_view>

// The OLE2 compound file around a legacy .xls workbook, read far enough to hand out its workbook stream.
namespace kw::sheetread {

// The refusals that the .xls library and this reader share, so that a file reads the same whichever finds
// the fault.
inline constexpr std::string_view kDamagedXls =
    "the .xls workbook is damaged or of a kind that cannot be read; save it as .xlsx";
inline constexpr std::string_view kNoWorkbookInFile =
    "the file holds no Excel workbook (a password-protected .xlsx is stored like this)";

// The workbook stream ("Workbook", or "Book" in older files) of an .xls file, as the .xls library will
// read it: the same directory entry, and the same bytes. Every read is checked against the file, and a
// sector chain that loops, runs off the file or does not match the stream's size refuses the file, so a
// damaged file costs no more than its own size. Throws TBadWorkbook.
std::string XlsWorkbookStream(std::string_view file);

} // namespace kw::sheetread
