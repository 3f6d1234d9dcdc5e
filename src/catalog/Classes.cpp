#include "catalog/Classes.h"

#include "catalog/KeyLists.h"
#include "gamecfg/AsciiText.h"
#include "gamecfg/CodePage.h"
#include "gamecfg/ProfileFile.h"
#include "gamecfg/StringTable.h"

#include <algorithm>
#include <string_view>

namespace kw {

std::string SpelledValue(std::string_view stored) {
    return std::string(StripControls(stored.substr(0, stored.find(';'))));
}

std::string LoadedValue(std::string_view stored) {
    std::string value = SpelledValue(stored);
    std::replace(value.begin(), value.end(), '\t', ' ');
    return value;
}

void ReadParam(TParam& param, const ProfileFile& file, const std::string& section, const std::string& key,
               const std::string& def) {
    const std::optional<std::string_view> found = file.ReadValueView(section, key);
    const std::string_view stored = found ? *found : std::string_view(def);
    const auto semicolon = stored.find(';');
    param.Value = LoadedValue(stored);
    param.Comment = semicolon == std::string_view::npos ? std::string_view() : stored.substr(semicolon);
    param.SetLoaded(found.has_value());
}

void ReadParamWhole(TParam& param, const ProfileFile& file, const std::string& section,
                    const std::string& key) {
    const std::optional<std::string_view> found = file.ReadValueView(section, key);
    param.Value = found.value_or(std::string_view());
    param.Comment.clear();
    param.SetLoaded(found.has_value());
}

TParam::TParam(const TParam& other)
    : Value(other.Value), Comment(other.Comment), FStored(other.FStored),
      FStoredValueSize(other.FStoredValueSize), FPresent(other.FPresent), FEdited(other.FEdited) {}

TParam& TParam::operator=(const TParam& other) {
    if (this != &other) {
        Value = other.Value;
        Comment = other.Comment;
        FPresent = other.FPresent;
        FEdited = other.FEdited;
        FStored = other.FStored;
        FStoredValueSize = other.FStoredValueSize;
    }
    return *this;
}

TParam::~TParam() {
    if (IsLinked()) {
        Unlink();
    }
}

void TParam::SetLoaded(bool present) {
    FPresent = present;
    FEdited = false;
    SetStored(Value, Comment);
}

void TParam::SetStored(const std::string& value, const std::string& comment) {
    FStored.reserve(value.size() + comment.size());
    FStored.assign(value).append(comment);
    FStoredValueSize = static_cast<uint32_t>(value.size());
}

template <class Fn> void TParam::ForEachLinked(Fn&& fn) {
    TParam* param = this;
    do {
        fn(*param);
        param = param->FNextLinked;
    } while (param != this);
}

void TParam::Edit(std::string value) {
    const bool typedBack = Value != StoredValue() && value == StoredValue();
    ForEachLinked([&](TParam& param) {
        if (&param != this) {
            param.Value = value;
        }
        param.FEdited = !typedBack;
    });
    Value = std::move(value);
}

bool TParam::NeedsWrite() const {
    if (FPresent) {
        return Value != StoredValue() || Comment != StoredComment();
    }
    return !Value.empty() && (FEdited || Value != StoredValue());
}

void TParam::MarkStored() {
    ForEachLinked([this](TParam& param) {
        param.FPresent = true;
        param.FEdited = false;
        param.SetStored(Value, Comment);
    });
}

void TParam::Revert() {
    const std::string value(StoredValue());
    const std::string comment(StoredComment());
    ForEachLinked([&](TParam& param) {
        param.Value = value;
        param.Comment = comment;
        param.FEdited = false;
    });
}

void TParam::TakeFileValue(bool present, const std::string& value, const std::string& comment) {
    ForEachLinked([&](TParam& param) {
        param.FPresent = present;
        param.SetStored(value, comment);
    });
}

void TParam::RestoreEditState(const TEditState& state) {
    ForEachLinked([&](TParam& param) {
        param.Value = state.Value;
        param.Comment = state.Comment;
        param.FEdited = state.Edited;
    });
}

void TParam::ForEachLinkedParam(const std::function<void(const TParam&)>& fn) const {
    const TParam* param = this;
    do {
        fn(*param);
        param = param->FNextLinked;
    } while (param != this);
}

void TParam::LinkWith(TParam& other) {
    // Splicing a ring into itself would split it; a parameter on its own (as each one the loader links is)
    // spares the walk that rules this out.
    const bool eitherAlone = FNextLinked == this || other.FNextLinked == &other;
    if (&other == this || (!eitherAlone && IsLinkedWith(other))) {
        return;
    }
    // Splices the two rings into one.
    TParam* const afterThis = FNextLinked;
    TParam* const afterOther = other.FNextLinked;
    FNextLinked = afterOther;
    afterOther->FPrevLinked = this;
    other.FNextLinked = afterThis;
    afterThis->FPrevLinked = &other;
}

bool TParam::IsLinkedWith(const TParam& other) const {
    const TParam* param = this;
    do {
        if (param == &other) {
            return true;
        }
        param = param->FNextLinked;
    } while (param != this);
    return false;
}

void TParam::Unlink() {
    FPrevLinked->FNextLinked = FNextLinked;
    FNextLinked->FPrevLinked = FPrevLinked;
    FPrevLinked = FNextLinked = this;
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
        FByLowerName.try_emplace(AsciiLower(pic->Name), pic.get());
    }
}

const TPic* TPicIndex::Find(const std::string& section) const {
    const auto found = FByLowerName.find(AsciiLower(section));
    return found == FByLowerName.end() ? nullptr : found->second;
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
