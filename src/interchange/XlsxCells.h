#pragma once

#include "interchange/SheetReaders.h"
#include "interchange/XlsxStyles.h"

#include <string>
#include <string_view>
#include <vector>

// The cell layer of an .xlsx workbook: the shared strings and a worksheet's cells, read as a stream.
namespace kw::sheetread {

// Spreadsheets write characters XML cannot carry (and a literal "_x" sequence, as "_x005F_x") as "_xHHHH_".
std::string DecodeEscapes(std::string_view text);

std::vector<std::string> ReadSharedStrings(const std::string& xml, const std::string& partName);

// Every cell of the worksheet part into builder; a number of a date style becomes a Date cell. Refuses a
// formula without a stored result and an error value, naming the cell.
void ReadSheetCells(const std::string& xml, const std::string& partName,
                    const std::vector<std::string>& strings, const TCellStyles& styles,
                    TSheetBuilder& builder);

} // namespace kw::sheetread
