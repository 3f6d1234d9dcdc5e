// The .xlsx reader on any archive. An input that begins like a zip archive is read as it stands; any other
// input is a list of parts ("@@ name" on a line of its own, then the part's text), stored uncompressed in a
// fresh archive, so that mutations reach the XML rather than the deflate stream.

#include "SheetCheck.h"

#include <minizip/zip.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<std::string, std::string>> SplitParts(std::string_view input) {
    std::vector<std::pair<std::string, std::string>> parts;
    constexpr std::string_view kMarker = "@@ ";
    size_t pos = input.starts_with(kMarker) ? 0 : input.find("\n@@ ");
    while (pos != std::string_view::npos) {
        pos += input[pos] == '\n' ? 1 : 0;
        const size_t nameEnd = std::min(input.find('\n', pos), input.size());
        const size_t next = input.find("\n@@ ", nameEnd);
        const size_t contentStart = std::min(nameEnd + 1, input.size());
        const size_t contentEnd = next == std::string_view::npos ? input.size() : next;
        parts.emplace_back(
            std::string(input.substr(pos + kMarker.size(), nameEnd - pos - kMarker.size())),
            std::string(input.substr(contentStart, std::max(contentStart, contentEnd) - contentStart)));
        pos = next;
    }
    return parts;
}

bool WriteStoredZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& parts) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (zip == nullptr) {
        return false;
    }
    bool ok = true;
    for (const auto& [name, content] : parts) {
        ok = ok &&
             zipOpenNewFileInZip64(zip, name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr, 0, 0, 0) ==
                 ZIP_OK &&
             zipWriteInFileInZip(zip, content.data(), static_cast<unsigned>(content.size())) == ZIP_OK &&
             zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = kw::fuzz::AsString(data, size);
    std::string path;
    if (kw::WorkbookFormatOf(input) == kw::TWorkbookFormat::Xlsx) {
        path = kw::fuzz::WriteScratch("book.xlsx", input);
    } else {
        const auto parts = SplitParts(input);
        if (parts.empty()) {
            return 0;
        }
        path = (kw::fuzz::ScratchFolder() / "parts.xlsx").string();
        if (!WriteStoredZip(path, parts)) {
            return 0;
        }
    }
    kw::TSheet sheet;
    kw::fuzz::ReadChecked(path, sheet);
    return 0;
}
