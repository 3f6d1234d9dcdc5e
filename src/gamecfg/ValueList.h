#pragma once

#include <string>
#include <vector>

namespace kw {

class ProfileFile;

// The values of every key of the section, in file order: the text after the first "=" of each key's line.
// The keys only give the order. A missing file or section gives an empty list.
std::vector<std::string> ReadValueList(const ProfileFile& file, const std::string& section);

} // namespace kw
