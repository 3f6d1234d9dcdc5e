#include "catalog/OnDisk.h"

#include "catalog/Classes.h"
#include "gamecfg/ProfileFile.h"

namespace kw {

TOnDisk ReadOnDisk(const ProfileFile& file, const std::string& section, const std::string& key) {
    TOnDisk disk;
    disk.SectionExists = file.SectionExists(section);
    TParam probe;
    ReadParam(probe, file, section, key);
    disk.Present = probe.WasPresent();
    disk.Value = probe.StoredValue();
    disk.Comment = probe.StoredComment();
    return disk;
}

bool HoldsStored(const TParam& param, const TOnDisk& disk) {
    if (!disk.Present || !param.WasPresent()) {
        return disk.Present == param.WasPresent();
    }
    return disk.Value == param.StoredValue() && disk.Comment == param.StoredComment();
}

} // namespace kw
