#pragma once

#include "catalog/Picture.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace kw {

class ProfileFile;
class TStringTable;
class TParam;

// A stored text as the file spells its value: before its first ";", stripped of control characters and blanks
// at both ends, TABs kept.
std::string SpelledValue(std::string_view stored);
// The value a load reads from a stored text: its spelling with each TAB turned into a blank.
std::string LoadedValue(std::string_view stored);
// Fills the parameter from key in section: Value is the stored text before its first ";", stripped of
// control characters and blanks at both ends, TABs inside turned into blanks; Comment is the rest from
// that ";" on. A missing key yields def.
void ReadParam(TParam& param, const ProfileFile& file, const std::string& section, const std::string& key,
               const std::string& def = "");
// Fills Value with the stored text whole, comment included (a link to another section, whose name the
// game takes as it stands); Comment stays empty.
void ReadParamWhole(TParam& param, const ProfileFile& file, const std::string& section,
                    const std::string& key);
// Stores Value, plus a TAB and Comment when there is a comment, as the value of key in section.
void WriteParam(const TParam& param, ProfileFile& file, const std::string& section, const std::string& key);

// One key of an entry. Value and Comment are windows-1251 bytes as in the game file.
//
// Entries that read the same key of the same section of one file (two outfits naming one immunity section, a
// section header repeated in a file) hold one parameter each, linked at load: an edit through any of them is
// what all of them show and what the file gets. Copies are never linked.
class TParam {
public:
    std::string Value;
    std::string Comment;

    TParam() = default;
    TParam(const TParam& other);
    TParam& operator=(const TParam& other);
    ~TParam();

    // A value the user typed, ticked, picked or stored from a grid, given to every linked parameter. It is an
    // edit even when it equals what was shown: a key the section lacked is then written, pinning it over what
    // the section inherits. A changed value typed back to what the file holds undoes the change instead.
    void Edit(std::string value);

    // Whether a save has to write this key: its value or comment differs from what the file held at load or
    // at the last save, or the section lacked the key and the user set a value. A key the section lacked
    // reads as its default or as empty while the game sees what a parent section supplies, so it is never
    // written empty.
    bool NeedsWrite() const;
    // Whether the section held the key at load or since a save wrote it.
    bool WasPresent() const { return FPresent; }
    // What the file held at load or at the last save; the default or empty for a key it lacked.
    std::string_view StoredValue() const { return std::string_view(FStored).substr(0, FStoredValueSize); }
    std::string_view StoredComment() const { return std::string_view(FStored).substr(FStoredValueSize); }
    // Records that a write of this parameter has been committed to its section: Value and Comment are now
    // what the file holds, for every linked parameter.
    void MarkStored();
    // Back to what the file holds, for every linked parameter; a key the section lacked is no longer set.
    void Revert();
    // The file now holds value and comment for the key (or lacks it): another program changed it, and the
    // user has seen that. The shown value stays as it is, on every linked parameter.
    void TakeFileValue(bool present, const std::string& value, const std::string& comment);

    // What an edit or a revert changes, so that it can be taken back and done again.
    struct TEditState {
        std::string Value;
        std::string Comment;
        bool Edited = false;
        bool operator==(const TEditState&) const = default;
    };
    TEditState EditState() const { return {Value, Comment, FEdited}; }
    // Puts state back on every linked parameter. What the file holds (the stored value) is left alone, so a
    // state from before a save reads as a change again.
    void RestoreEditState(const TEditState& state);

    // Makes the two parameters one key (the loader does this for parameters read from the same place).
    void LinkWith(TParam& other);
    bool IsLinkedWith(const TParam& other) const;
    bool IsLinked() const { return FNextLinked != this; }
    // This parameter and every one linked with it, this one first.
    void ForEachLinkedParam(const std::function<void(const TParam&)>& fn) const;

private:
    friend void ReadParam(TParam&, const ProfileFile&, const std::string&, const std::string&,
                          const std::string&);
    friend void ReadParamWhole(TParam&, const ProfileFile&, const std::string&, const std::string&);

    void SetLoaded(bool present);
    void SetStored(const std::string& value, const std::string& comment);
    void Unlink();
    template <class Fn> void ForEachLinked(Fn&& fn);

    // A catalog holds hundreds of thousands of parameters, so the stored value and comment share one text.
    std::string FStored; // the stored value, then the stored comment
    uint32_t FStoredValueSize = 0;
    bool FPresent = false;
    bool FEdited = false;
    // The ring of linked parameters; a parameter on its own points at itself. Entries live behind pointers,
    // so their parameters never move while linked.
    // Linked both ways: a thousand entries may share one section, and each one's unlink must not walk them.
    TParam* FPrevLinked = this;
    TParam* FNextLinked = this;
};

using TParamVisitor = std::function<void(const std::string& key, TParam& param)>;

// The nine kinds of damage; the game key is the kind plus "_protection" or "_immunity".
struct TImmunity {
    TParam burn, strike, shock, wound, radiation, telepatic, chemical_burn, explosion, fire_wound;
};

// One section of a game file shown as an entry of a catalog. Name and Descr are UTF-8.
class TMainItem {
public:
    virtual ~TMainItem() = default;

    std::string Name;
    std::string Descr;
    const TPic* Pic = nullptr;
    std::string Section;
    TParam cost, inv_weight, inv_name, description, visual;

    // Every parameter under its game key, in field order.
    virtual void ForEachParam(const TParamVisitor& fn);
};

class TWeapon : public TMainItem {
public:
    std::string FileName; // relative to the game folder, in the game's backslash form; windows-1251 like
                          // every text of the game
    std::string FilePath; // where the weapon was read from and is saved: the full path as the file system
                          // named it
    TParam fire_dispersion_base, fire_dispersion_condition_factor, misfire_probability, misfire_condition_k,
        condition_shot_dec, fire_distance, bullet_speed, scope_status, silencer_status,
        grenade_launcher_status, ammo_limit, ammo_mag_size, ammo_class, hit_power, rpm, hit_impulse,
        zoom_enabled, scope_zoom_factor, silencer_name, scope_name, grenade_launcher_name, silencer_hit_power,
        silencer_hit_impulse, silencer_fire_distance, silencer_bullet_speed, scope_x, scope_y, silencer_x,
        silencer_y, grenade_launcher_x, grenade_launcher_y;

    void ForEachParam(const TParamVisitor& fn) override;
};

class TAmmo : public TMainItem {
public:
    TParam k_dist, k_disp, k_hit, k_impulse, k_pierce, impair, buck_shot, box_size, tracer, explosive;

    void ForEachParam(const TParamVisitor& fn) override;
};

class TOutfit : public TMainItem {
public:
    TImmunity Protection; // from the outfit's own section
    TImmunity Immunity;   // from the section that immunities_sect names
    TParam immunities_sect;

    void ForEachParam(const TParamVisitor& fn) override;
};

class TArt : public TMainItem {
public:
    TParam health_restore_speed, radiation_restore_speed, satiety_restore_speed, power_restore_speed,
        bleeding_restore_speed, hit_absorbation_sect;
    TImmunity Immunity; // from the section that hit_absorbation_sect names

    void ForEachParam(const TParamVisitor& fn) override;
};

class TItem : public TMainItem {
public:
    TParam eat_health, eat_satiety, eat_power, eat_radiation;

    void ForEachParam(const TParamVisitor& fn) override;
};

class TScope : public TMainItem {
public:
    TParam scope_zoom_factor;

    void ForEachParam(const TParamVisitor& fn) override;
};

class TGrenLnch : public TMainItem {
public:
    TParam grenade_vel;

    void ForEachParam(const TParamVisitor& fn) override;
};

// One time slot of the default weather cycle.
class TWeather {
public:
    std::string Time;    // the slot's key in "sect_default_weather"
    std::string Section; // the section holding the slot's values
    TParam sky_color, clouds_color, fog_distance, fog_color, fog_density, rain_density, rain_color,
        thunderbolt, bolt_period, bolt_duration, wind_velocity, wind_direction, ambient, sun_color, sun_dir,
        env_ambient, sky_texture, clouds_texture;

    void ForEachParam(const TParamVisitor& fn);
};

// Name: the table's text for the inv_name id, else the id itself.
void ResolveName(TMainItem& item, const TStringTable& table);
// Descr: the table's text for the description id; unchanged when the table lacks it.
void ResolveDescr(TMainItem& item, const TStringTable& table);
// Pic: the first picture whose name equals the section regardless of ASCII letter case, or none.
void ResolvePic(TMainItem& item, const TPicList& pictures);

// The same match as a hash look-up, for resolving a whole catalog: a scan per entry would make a load grow
// with entries times pictures.
class TPicIndex {
public:
    explicit TPicIndex(const TPicList& pictures);
    const TPic* Find(const std::string& section) const;

private:
    std::unordered_map<std::string, const TPic*> FByLowerName;
};
void ResolvePic(TMainItem& item, const TPicIndex& pictures);

} // namespace kw
