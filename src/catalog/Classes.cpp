#include "catalog/Classes.h"

#include "catalog/KeyLists.h"
#include "gamecfg/AsciiText.h"
#include "gamecfg/CodePage.h"
#include "gamecfg/ProfileFile.h"
#include "gamecfg/StringTable.h"

#include <algorithm>
#include <string_view>

namespace kw {
void ReadParam(TParam& param, const ProfileFile& file, const std::string& section, const std::string& key,
               const std::string& def) {
    const std::optional<std::string> found = file.ReadValue(section, key);
    const std::string& stored = found ? *found : def;
    const auto semicolon = stored.find(';');
    param.Value = StripControls(std::string_view(stored).substr(0, semicolon));
    std::replace(param.Value.begin(), param.Value.end(), '\t', ' ');
    param.Comment = semicolon == std::string::npos ? std::string() : stored.substr(semicolon);
    param.present_ = found.has_value();
    param.edited_ = false;
    param.loadedValue_ = param.Value;
}

void ReadParamWhole(TParam& param, const ProfileFile& file, const std::string& section,
                    const std::string& key) {
    std::optional<std::string> found = file.ReadValue(section, key);
    param.present_ = found.has_value();
    param.edited_ = false;
    param.Value = std::move(found).value_or(std::string());
    param.Comment.clear();
    param.loadedValue_ = param.Value;
}

void TParam::Edit(std::string value) {
    Value = std::move(value);
    edited_ = true;
}

void WriteParam(const TParam& param, ProfileFile& file, const std::string& section, const std::string& key) {
    file.WriteString(section, key, param.Comment.empty() ? param.Value : param.Value + '\t' + param.Comment);
}

void TMainItem::ForEachParam(const TParamVisitor& fn) {
    VisitParams(*this, SilencerKeys(), fn);
}
void TWeapon::ForEachParam(const TParamVisitor& fn) {
    VisitParams(*this, WeaponKeys(), fn);
}
void TAmmo::ForEachParam(const TParamVisitor& fn) {
    VisitParams(*this, AmmoKeys(), fn);
}
void TOutfit::ForEachParam(const TParamVisitor& fn) {
    VisitParams(*this, OutfitKeys(), fn);
}
void TArt::ForEachParam(const TParamVisitor& fn) {
    VisitParams(*this, ArtKeys(), fn);
}
void TItem::ForEachParam(const TParamVisitor& fn) {
    VisitParams(*this, ItemKeys(), fn);
}
void TScope::ForEachParam(const TParamVisitor& fn) {
    VisitParams(*this, ScopeKeys(), fn);
}
void TGrenLnch::ForEachParam(const TParamVisitor& fn) {
    VisitParams(*this, GrenLnchKeys(), fn);
}
void TWeather::ForEachParam(const TParamVisitor& fn) {
    VisitParams(*this, WeatherKeys(), fn);
}

void ResolveName(TMainItem& item, const TStringTable& table) {
    // The table's ids are UTF-8 like all its text.
    const std::string id = Cp1251ToUtf8(item.inv_name.Value);
    const int index = table.IndexOfStringId(id);
    item.Name = index >= 0 ? table.Text(index) : id;
}

void ResolveDescr(TMainItem& item, const TStringTable& table) {
    const int index = table.IndexOfStringId(Cp1251ToUtf8(item.description.Value));
    if (index >= 0) {
        item.Descr = table.Text(index);
    }
}

TPicIndex::TPicIndex(const TPicList& pictures) {
    for (const auto& pic : pictures) {
        byLowerName_.try_emplace(AsciiLower(pic->Name), pic.get());
    }
}

const TPic* TPicIndex::Find(const std::string& section) const {
    const auto found = byLowerName_.find(AsciiLower(section));
    return found == byLowerName_.end() ? nullptr : found->second;
}

void ResolvePic(TMainItem& item, const TPicIndex& pictures) {
    item.Pic = pictures.Find(item.Section);
}

void ResolvePic(TMainItem& item, const TPicList& pictures) {
    const std::string section = AsciiLower(item.Section);
    auto match = std::find_if(pictures.begin(), pictures.end(),
                              [&](const auto& pic) { return AsciiLower(pic->Name) == section; });
    item.Pic = match == pictures.end() ? nullptr : match->get();
}

} // namespace kw
