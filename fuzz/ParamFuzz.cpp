// A parameter read from any stored text, written back under another key and read again, is the same
// parameter; writing that one again stores the same bytes.

#include "ScratchFile.h"
#include "catalog/Classes.h"
#include "gamecfg/Error.h"
#include "gamecfg/ProfileFile.h"

#include <string>

using kw::fuzz::Require;

namespace {

std::string StoredText(const std::string& path, const std::string& key) {
    const kw::ProfileFile file(path);
    return file.ReadString("s", key, "\x01missing");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path =
        kw::fuzz::WriteScratch("param.ltx", "[s]\nk =" + kw::fuzz::AsString(data, size) + "\n");
    kw::TParam read;
    {
        kw::ProfileFile file(path);
        kw::ReadParam(read, file, "s", "k", "default");
        try {
            kw::WriteParam(read, file, "s", "again");
            file.Flush();
        } catch (const kw::Error&) {
            return 0; // a zero byte or a line break that the file's own line held
        }
    }
    kw::TParam back;
    {
        kw::ProfileFile file(path);
        kw::ReadParam(back, file, "s", "again");
        Require(back.Value == read.Value);
        Require(back.Comment == read.Comment);
        kw::WriteParam(back, file, "s", "third");
        file.Flush();
    }
    Require(StoredText(path, "third") == StoredText(path, "again"));
    return 0;
}
