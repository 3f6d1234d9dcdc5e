#include "catalog/Dump.h"

#include "gamecfg/CodePage.h"
#include "gamecfg/FileSys.h"

#include <map>
#include <memory>
#include <ostream>
#include <type_traits>

namespace kw {

void LoadHeadlessGame(THeadlessGame& game, const std::string& gameFolder) {
    game.GamePath = fs::WithTrailingSeparator(gameFolder);
    game.RequiredFiles = BuildRequiredFiles(game.GamePath);
    game.Preparation = PrepareFullLoad(game.GamePath, true, "", game.Tables);
    LoadCatalogs(game.Catalog, game.GamePath, game.RequiredFiles, game.Preparation.WeaponFiles, game.Tables,
                 game.Pictures);
}

std::string EscapeDumpText(std::string_view text) {
    static const std::map<char, const char*> escapes = {
        {'\\', "\\\\"}, {'\t', "\\t"}, {'\r', "\\r"}, {'\n', "\\n"}};
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto found = escapes.find(c);
        if (found == escapes.end())
            escaped += c;
        else
            escaped += found->second;
    }
    return escaped;
}

namespace {

// Writes the lines of one entry; texts are UTF-8 by the time they get here.
class TEntryWriter {
public:
    TEntryWriter(std::ostream& out, std::string_view catalog, std::size_t index, const std::string& section)
        : out(out), prefix(std::string(catalog) + "\t" + std::to_string(index) + "\t" +
                           EscapeDumpText(Cp1251ToUtf8(section)) + "\t") {}

    void Field(std::string_view field, std::string_view value, std::string_view comment = {}) const {
        out << prefix << field << '\t' << EscapeDumpText(value) << '\t' << EscapeDumpText(comment) << '\n';
    }
    void GameField(std::string_view field, const std::string& value) const {
        Field(field, Cp1251ToUtf8(value));
    }
    void Param(const std::string& key, const TParam& param) const {
        Field(key, Cp1251ToUtf8(param.Value), Cp1251ToUtf8(param.Comment));
    }

private:
    std::ostream& out;
    std::string prefix;
};

// Scopes, grenade launchers and the silencer never look up a description.
template <class T>
constexpr bool kResolvesDescr =
    std::is_same_v<T, TWeapon> || std::is_same_v<T, TAmmo> || std::is_same_v<T, TOutfit> ||
    std::is_same_v<T, TArt> || std::is_same_v<T, TItem>;

template <class T> void DumpEntry(std::ostream& out, std::string_view catalog, std::size_t index, T& entry) {
    const TEntryWriter writer(out, catalog, index, entry.Section);
    if constexpr (std::is_base_of_v<TMainItem, T>)
        writer.Field("Name", entry.Name);
    if constexpr (kResolvesDescr<T>)
        writer.Field("Descr", entry.Descr);
    if constexpr (std::is_same_v<T, TWeapon>)
        writer.GameField("FileName", entry.FileName);
    if constexpr (std::is_same_v<T, TWeather>)
        writer.GameField("Time", entry.Time);
    entry.ForEachParam([&writer](const std::string& key, TParam& param) { writer.Param(key, param); });
}

template <class T>
void DumpEntries(std::ostream& out, std::string_view catalog,
                 const std::vector<std::unique_ptr<T>>& entries) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        DumpEntry(out, catalog, i, *entries[i]);
}

} // namespace

void DumpCatalog(TCatalog& catalog, std::ostream& out) {
    DumpEntries(out, "weapons", catalog.Weapons);
    DumpEntries(out, "ammo", catalog.Ammo);
    DumpEntries(out, "outfits", catalog.Outfits);
    DumpEntries(out, "arts", catalog.Arts);
    DumpEntries(out, "items", catalog.Items);
    DumpEntries(out, "weather", catalog.Weather);
    if (catalog.Silencer)
        DumpEntry(out, "silencer", 0, *catalog.Silencer);
    DumpEntries(out, "scopes", catalog.Scopes);
    DumpEntries(out, "grenade_launchers", catalog.GrenLnchs);
}

namespace {

const char* const kUsage =
    "Usage: kitwright-cli COMMAND GAMEDIR [ARGUMENTS]\n"
    "Reads the balance values of the game in GAMEDIR the way the editor does.\n"
    "\n"
    "Commands:\n"
    "  dump     print every field of every catalog entry, one line each:\n"
    "           catalog, index, section, field, value, comment, separated by TABs\n"
    "           (in value and comment a backslash, TAB, CR and LF read \\\\, \\t, \\r, \\n)\n"
    "  resave   load and save again without an edit; reports files that could not be written\n"
    "  check    list missing required files, or print the size of each catalog\n"
    "  export GAMEDIR CATALOG FILE\n"
    "           write the table view's grid of CATALOG (weapons, ammo, outfits, arts,\n"
    "           items, weather) to FILE: a workbook (.xlsx), or CSV when FILE ends in .csv\n"
    "  import GAMEDIR CATALOG FILE [--ignore-size]\n"
    "           read FILE (.xlsx, .xls or .csv) into that grid, store the changed cells\n"
    "           and save; a sheet whose size differs from the grid is refused unless\n"
    "           --ignore-size is given\n"
    "  --help   show this text\n"
    "\n"
    "Exit status: 0 done, 1 the game folder could not be loaded or saved or a grid could not be\n"
    "exported or imported, 2 wrong usage.\n";

void PrintMissingFiles(std::ostream& out, const std::vector<std::string>& missing) {
    out << "The game folder lacks these required files:\n";
    for (const std::string& file : missing)
        out << "  " << fs::Resolve(file) << '\n';
}

void PrintCatalogSizes(const TCatalog& catalog, std::ostream& out) {
    const std::pair<const char*, std::size_t> sizes[] = {
        {"weapons", catalog.Weapons.size()},
        {"ammo", catalog.Ammo.size()},
        {"outfits", catalog.Outfits.size()},
        {"arts", catalog.Arts.size()},
        {"items", catalog.Items.size()},
        {"weather", catalog.Weather.size()},
        {"silencer", catalog.Silencer ? 1u : 0u},
        {"scopes", catalog.Scopes.size()},
        {"grenade_launchers", catalog.GrenLnchs.size()},
    };
    for (const auto& [name, size] : sizes)
        out << name << '\t' << size << '\n';
}

} // namespace

int PrintSaveReport(const TSaveReport& report, std::ostream& out) {
    if (report.Ok()) {
        out << "Every file was saved.\n";
        return kExitOk;
    }
    for (const TSaveFailure& failure : report.Failures)
        out << "Not saved: " << failure.Message() << '\n';
    if (report.Stopped)
        out << "The save stopped there; the files after it were not written.\n";
    return kExitFailed;
}

namespace {

using TCommand = int (*)(THeadlessGame& game, std::ostream& out);

int Dump(THeadlessGame& game, std::ostream& out) {
    DumpCatalog(game.Catalog, out);
    return kExitOk;
}

int Resave(THeadlessGame& game, std::ostream& out) {
    return PrintSaveReport(SaveCatalogs(game.Catalog), out);
}

int Check(THeadlessGame& game, std::ostream& out) {
    PrintCatalogSizes(game.Catalog, out);
    return kExitOk;
}

const std::map<std::string, TCommand> kCommands = {{"dump", Dump}, {"resave", Resave}, {"check", Check}};

} // namespace

int UsageError(const std::string& problem, std::ostream& err) {
    err << "kitwright-cli: " << problem << "\n\n" << kUsage;
    return kExitUsage;
}

int RunOnGameFolder(const std::string& gameFolder, bool missingIsAnswer, std::ostream& out, std::ostream& err,
                    const std::function<int(THeadlessGame&)>& work) {
    if (!fs::DirExists(gameFolder)) {
        err << "kitwright-cli: no such game folder: " << gameFolder << '\n';
        return kExitFailed;
    }
    const std::vector<std::string> missing =
        MissingFiles(BuildRequiredFiles(fs::WithTrailingSeparator(gameFolder)));
    if (!missing.empty()) {
        PrintMissingFiles(missingIsAnswer ? out : err, missing);
        return kExitFailed;
    }
    auto game = std::make_unique<THeadlessGame>();
    try {
        LoadHeadlessGame(*game, gameFolder);
        return work(*game);
    } catch (const std::exception& error) {
        err << "kitwright-cli: " << error.what() << '\n';
        return kExitFailed;
    }
}

namespace {

int RunOnGame(const std::string& command, const std::string& gameFolder, std::ostream& out,
              std::ostream& err) {
    // For "check" the missing files are the answer, not a failure to report.
    return RunOnGameFolder(gameFolder, command == "check", out, err,
                           [&](THeadlessGame& game) { return kCommands.at(command)(game, out); });
}

} // namespace

int RunHeadlessTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kUsage;
        return kExitOk;
    }
    if (args.empty())
        return UsageError("no command given", err);
    if (!kCommands.contains(args[0]))
        return UsageError("unknown command or option \"" + args[0] + "\"", err);
    if (args.size() != 2)
        return UsageError("\"" + args[0] + "\" takes exactly one game folder", err);
    return RunOnGame(args[0], args[1], out, err);
}

} // namespace kw
