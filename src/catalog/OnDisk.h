#pragma once

#include <string>

namespace kw {

class ProfileFile;
class TParam;

// What a file holds for one key, read as a load reads it. Texts are windows-1251.
struct TOnDisk {
    bool SectionExists = false; // a file that is gone holds no section
    bool Present = false;       // the section holds the key
    std::string Value, Comment;
};

// file: read as it is now (a fresh one, or refreshed).
TOnDisk ReadOnDisk(const ProfileFile& file, const std::string& section, const std::string& key);

// Whether the file still holds for the key what the parameter's value was edited against: what it held at
// the load or the last save, or the key still missing.
bool HoldsStored(const TParam& param, const TOnDisk& disk);

} // namespace kw
