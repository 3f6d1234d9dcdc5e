#include "gamecfg/ValueList.h"

#include "gamecfg/ProfileFile.h"

namespace kw {

std::vector<std::string> ReadValueList(const ProfileFile& file, const std::string& section) {
    std::vector<std::string> values;
    for (const std::string& line : file.ReadSectionValues(section)) {
        const std::size_t equals = line.find('=');
        values.push_back(equals == std::string::npos ? std::string() : line.substr(equals + 1));
    }
    return values;
}

} // namespace kw
