#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

// The .xls library makes text of every number of a date format by counting days one by one from 1900, so
// a date near the largest number a cell holds takes it seconds. This sums up the days it would count, by
// cell format, since in a damaged file the formats may follow the cells, and judges them at the end.
namespace kw::sheetread {

class TXlsDateDays {
public:
    // FORMAT, XF, NUMBER, RK and MULRK records. Throw TBadWorkbook for a damaged record.
    void Format(std::string_view body);
    void CellFormat(std::string_view body);
    void Number(std::string_view body);
    void Rk(std::string_view body);
    void MulRk(std::string_view body);
    // Throws TBadWorkbook when the days would take the library more than about two seconds.
    void Finish() const;

private:
    std::vector<uint16_t> FXfFormats;                           // the number format of each cell format
    std::vector<bool> FSpelledWithM = std::vector<bool>(65536); // by number format
    std::unordered_map<uint16_t, uint64_t> FDaysByXf;

    void Count(uint16_t xf, double value);
    bool MayBeDate(uint16_t format) const;
};

} // namespace kw::sheetread
