#pragma once

#include <string>
#include <vector>

namespace kw {
class TCatalog;
}

// A made-up game folder of any size, shaped like a full game: parent lists, base sections, comments behind
// values, keys left to parent sections, shared immunity sections, CRLF lines and windows-1251 string tables.
// The benchmark and the crash test both build on it.
namespace kw::test {

struct TSyntheticGameSize {
    int Weapons = 0;
    int Ammo = 0;
    int Outfits = 0;
    int Artefacts = 0;
    int Items = 0;
    int WeatherSlots = 0;
};

// Scale 1 is about a full game; every count grows in proportion.
TSyntheticGameSize SyntheticGameSize(int scale);

// Writes the game below folder (which ends with a separator and is created when missing) and returns every
// written file, game-relative in the game's backslash form.
std::vector<std::string> WriteSyntheticGame(const std::string& folder, int scale);

// Gives every value a save writes a text of its own for this round, so that saves of two rounds differ in
// every game file. Addon states take one of the three states.
void EditEveryValue(TCatalog& catalog, int round);

} // namespace kw::test
