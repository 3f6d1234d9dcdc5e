#pragma once

#include "interchange/CompoundFile.h"
#include "interchange/SheetReaders.h"

#include <string>
#include <string_view>

// What the parts of the .xls pre-scan share about the records they read.
namespace kw::sheetread {

[[noreturn]] inline void RefuseDamagedXls() {
    throw TBadWorkbook(std::string(kDamagedXls));
}

// A record too short for what the library reads from it: the library would take the rest from the record
// before.
inline void NeedBytes(std::string_view body, size_t bytes) {
    if (body.size() < bytes) {
        RefuseDamagedXls();
    }
}

} // namespace kw::sheetread
