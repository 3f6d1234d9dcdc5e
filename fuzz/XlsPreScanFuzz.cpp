// The .xls pre-scan on any bytes: it reads within them, ends, and either refuses the file or hands out the
// Boolean and error cells it found, every one taken from a whole BOOLERR record of the input. Inputs that
// do not begin like a compound file get the signature put in front, so that mutations reach the header.

#include "ScratchFile.h"
#include "interchange/SheetReaders.h"
#include "interchange/XlsPreScan.h"

#include <string>

using kw::fuzz::Require;

namespace {

constexpr std::string_view kOle2Signature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

// The fuzzer's limits of the workbook readers.
const kw::TReadLimits kLimits{1u << 20, 200, 40};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string file = kw::fuzz::AsString(data, size);
    if (!file.starts_with(kOle2Signature)) {
        file.insert(0, kOle2Signature);
    }
    kw::sheetread::TXlsPreScan scan;
    try {
        scan = kw::sheetread::PreScanXls(file, kLimits);
    } catch (const kw::sheetread::TBadWorkbook& refusal) {
        Require(std::string(refusal.what()).starts_with("the "));
        return 0;
    }
    // A BOOLERR record takes 12 bytes of the stream, and no byte of the file is read into it twice.
    Require(scan.BoolErrs.size() <= file.size() / 12);
    return 0;
}
