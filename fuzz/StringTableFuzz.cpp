// The string table reader on any bytes: it either refuses the file with kw::Error or yields UTF-8 lines
// whose ids its look-up finds.

#include "ScratchFile.h"
#include "gamecfg/CodePage.h"
#include "gamecfg/Error.h"
#include "gamecfg/StringTable.h"

#include <string>

using kw::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = kw::fuzz::WriteScratch("table.xml", kw::fuzz::AsString(data, size));
    kw::TStringTable table;
    try {
        kw::LoadStringTable(table, path);
    } catch (const kw::Error&) {
        Require(table.Count() == 0);
        return 0;
    }
    for (int i = 0; i < table.Count(); ++i) {
        const std::string line = table.Line(i);
        Require(kw::IsValidUtf8(line));
        const std::string id = line.substr(0, line.find('='));
        const int found = table.IndexOfStringId(id);
        Require(found >= 0 && found <= i);
        Require(table.Line(found).starts_with(id + "="));
        Require(table.Text(i) == line.substr(id.size() + 1));
    }
    return 0;
}
