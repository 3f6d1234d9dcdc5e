// kitwright-bench: times a full load and saves of a made-up game folder at several sizes against the cost of
// merely reading and writing the same bytes, and the work on its largest table-view grid, and prints one
// table per size with the goals beside them.
//
// Each size runs in a child process of its own, and its peak memory is taken from a further child that only
// loads, changes every value and saves. Every time is the median of several runs after a warm-up.

#include "BenchKit.h"
#include "catalog/Catalog.h"
#include "catalog/GameFolder.h"
#include "catalog/SyntheticGame.h"
#include "gamecfg/FileSys.h"
#include "interchange/GridTable.h"
#include "interchange/SheetImport.h"
#include "interchange/WorkbookReader.h"
#include "interchange/WorkbookWriter.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using kw::TCatalog;
using kw::bench::MedianMs;
using kw::bench::Verdict;
namespace stdfs = std::filesystem;

constexpr double kDiskLoadGoal = 2;   // load against reading the same bytes from the disk
constexpr double kCachedLoadGoal = 8; // load against reading the same bytes from the page cache
constexpr double kSaveGoal = 3;       // save against writing the same bytes
constexpr double kGrowthGoal = 11;
constexpr double kGridGrowthGoal = 12;
constexpr double kPeakGoalMb = 151;
constexpr double kGridGoalMs = 1000;

// What one scale measured; plain data, so a child can hand it to its parent through a pipe.
struct TScaleResult {
    int Scale = 0;
    int Runs = 0;
    bool Ok = false;
    int LoadFiles = 0;
    long long LoadBytes = 0;
    int SavedFiles = 0;
    double ColdRead = 0, ColdLoad = 0;                           // milliseconds, the files read from the disk
    double Read = 0, Load = 0, Save = 0, SaveAll = 0, Write = 0; // milliseconds, the files in the page cache
    double Modified = 0; // milliseconds: asking a loaded catalog without edits whether a save would write
    double PeakMb = 0;
    int GridId = 0, GridRows = 0, GridColumns = 0;
    double Fill = 0, Store = 0, Export = 0, Import = -1; // milliseconds; Import -1: not built
};

// Everything a full load fills. The catalog is declared last: it points into the tables.
struct TLoadedGame {
    kw::TStringTables Tables;
    kw::TLoadPreparation Preparation;
    TCatalog Catalog;
};

void Load(TLoadedGame& game, const std::string& gamePath, const kw::TPictureLists& pictures) {
    game.Preparation = kw::PrepareFullLoad(gamePath, true, "", game.Tables);
    kw::LoadCatalogs(game.Catalog, gamePath, kw::BuildRequiredFiles(gamePath), game.Preparation.WeaponFiles,
                     game.Tables, pictures);
}

// One picture per entry, named by its section in other letter case, as an "images" folder of a full game
// would give; only the names matter to a load.
void AddPictures(kw::TPicList& list, const auto& entries) {
    for (const auto& entry : entries) {
        auto pic = std::make_unique<kw::TPic>();
        pic->Name = entry->Section;
        std::transform(pic->Name.begin(), pic->Name.end(), pic->Name.begin(),
                       [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
        list.push_back(std::move(pic));
    }
}

kw::TPictureLists PicturesFor(const TCatalog& catalog) {
    kw::TPictureLists pictures;
    AddPictures(pictures.Weapon, catalog.Weapons);
    AddPictures(pictures.Ammo, catalog.Ammo);
    AddPictures(pictures.Outfit, catalog.Outfits);
    AddPictures(pictures.Art, catalog.Arts);
    AddPictures(pictures.Item, catalog.Items);
    return pictures;
}

// Every file a full load reads, as platform paths.
std::vector<std::string> FilesReadByLoad(const std::string& gamePath, const TLoadedGame& game) {
    std::vector<std::string> files{gamePath + "gamedata\\config\\localization.ltx"};
    files.insert(files.end(), game.Preparation.StringTableFiles.begin(),
                 game.Preparation.StringTableFiles.end());
    files.insert(files.end(), game.Preparation.WeaponFiles.begin(), game.Preparation.WeaponFiles.end());
    for (const std::string& file : kw::BuildRequiredFiles(gamePath)) {
        files.push_back(file);
    }
    for (std::string& file : files) {
        file = kw::fs::Resolve(file);
    }
    return files;
}

std::vector<std::string> FilesWrittenBySave(const TCatalog& catalog) {
    std::set<std::string> files;
    for (const auto& weapon : catalog.Weapons) {
        files.insert(kw::fs::Resolve(catalog.GamePath() + weapon->FileName));
    }
    for (const std::string& file : catalog.RequiredFiles()) {
        files.insert(kw::fs::Resolve(file));
    }
    return {files.begin(), files.end()};
}

// Makes the next read of each file come from the disk: its pages leave the page cache (written back first,
// since only clean pages can be dropped). Touches nothing but these files.
void DropFromCache(const std::vector<std::string>& files) {
    for (const std::string& file : files) {
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            ::fdatasync(fd);
            ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            ::close(fd);
        }
    }
}

// The floor of a load: open, read every byte, close, with nothing done to the bytes.
long long ReadEveryByte(const std::vector<std::string>& files) {
    static std::vector<char> buffer(1 << 20);
    long long total = 0;
    for (const std::string& file : files) {
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            throw std::runtime_error("cannot open " + file);
        }
        for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;) {
            total += n;
        }
        ::close(fd);
    }
    return total;
}

// The peak resident memory of what the editor does with a folder: a full load, every value changed, a save;
// in a process of its own, so that nothing the measurements hold counts.
double PeakMbOfLoadAndSave(const std::string& gamePath) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        int status = 1;
        try {
            kw::TPictureLists pictures;
            TLoadedGame game;
            Load(game, gamePath, pictures);
            kw::test::EditEveryValue(game.Catalog, 0);
            status = kw::SaveCatalogs(game.Catalog).Ok() ? 0 : 1;
        } catch (const std::exception&) {
        }
        ::_exit(status);
    }
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("the load and save for the memory measurement failed");
    }
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The grid with the most cells: the one whose fill, store, export and import take longest.
const kw::TGridDef& LargestGrid(const TCatalog& catalog) {
    const kw::TGridDef* largest = &kw::kGridDefs[0];
    long long most = -1;
    for (const kw::TGridDef& def : kw::kGridDefs) {
        kw::TStringGrid grid(def);
        kw::FillTable(grid, catalog);
        const long long cells = static_cast<long long>(grid.RowCount()) * grid.ColumnCount();
        if (cells > most) {
            most = cells;
            largest = &def;
        }
    }
    return *largest;
}

// Writes a buffer larger than the processor's caches, so that the next step finds the catalog in memory
// only, as it does when the user turns to the grid after other work. Without this the smaller scale's whole
// catalog stays in the caches between runs and the growth compares cache with memory.
void EvictCaches() {
    static std::vector<char> buffer(std::size_t{96} << 20);
    static char round = 0;
    ++round;
    for (std::size_t i = 0; i < buffer.size(); i += 64) {
        buffer[i] = round;
    }
}

// Fill, store of every cell changed, export and import of the largest grid, each from cold caches.
void MeasureGrid(TScaleResult& result, TCatalog& catalog, const stdfs::path& folder, int runs) {
    const kw::TGridDef& def = LargestGrid(catalog);
    kw::TStringGrid grid(def);
    result.GridId = static_cast<int>(def.Id);
    result.Fill = MedianMs(
        runs, [&] { kw::FillTable(grid, catalog); }, EvictCaches);
    result.GridRows = grid.RowCount();
    result.GridColumns = grid.ColumnCount();
    int round = 1;
    // One text per column, so that entries sharing a section agree on what it gets.
    result.Store = MedianMs(
        runs,
        [&] {
            // The store's work without a document's history: checks, then every value set.
            for (kw::TValueEdit& edit : kw::TableEdits(grid, catalog)) {
                edit.Param->Edit(std::move(edit.Value));
            }
            kw::FillTable(grid, catalog);
        },
        [&] {
            ++round;
            for (int row = 0; row < grid.EntryCount(); ++row) {
                for (int column = 1; column < grid.ColumnCount(); ++column) {
                    grid.SetText(row, column, std::to_string(round) + "." + std::to_string(column));
                }
            }
            EvictCaches();
        });
    const std::string book = (folder / "grid.xlsx").string();
    const kw::TGridLayout layout = kw::DefaultLayout(grid);
    result.Export = MedianMs(
        runs, [&] { kw::WriteWorkbook(book, def.ExportTitle, grid, layout); }, EvictCaches);
    result.Import = MedianMs(
        runs,
        [&] {
            kw::TSheet sheet;
            kw::ReadWorkbook(book, sheet);
            kw::ImportSheet(grid, sheet);
        },
        EvictCaches);
}

TScaleResult MeasureScale(int scale, int runs) {
    TScaleResult result;
    result.Scale = scale;
    result.Runs = runs;
    const stdfs::path root = stdfs::temp_directory_path() /
                             ("kw-bench-" + std::to_string(::getpid()) + "-" + std::to_string(scale));
    const std::string gamePath = root.string() + "/";
    kw::test::WriteSyntheticGame(gamePath, scale);
    result.PeakMb = PeakMbOfLoadAndSave(gamePath);

    kw::TPictureLists pictures;
    std::vector<std::string> readFiles;
    {
        TLoadedGame first;
        Load(first, gamePath, pictures);
        pictures = PicturesFor(first.Catalog);
        readFiles = FilesReadByLoad(gamePath, first);
        // The first save turns the blanks before comments into the TAB a save writes; every later save
        // without an edit finds its bytes already there.
        kw::SaveCatalogs(first.Catalog);
    }
    result.LoadFiles = static_cast<int>(readFiles.size());
    result.LoadBytes = ReadEveryByte(readFiles);

    const auto load = [&] {
        TLoadedGame game;
        Load(game, gamePath, pictures);
    };
    const auto dropFiles = [&] { DropFromCache(readFiles); };
    result.ColdRead = MedianMs(
        runs, [&] { ReadEveryByte(readFiles); }, dropFiles);
    result.ColdLoad = MedianMs(runs, load, dropFiles);
    result.Read = MedianMs(runs, [&] { ReadEveryByte(readFiles); });
    result.Load = MedianMs(runs, load);

    TLoadedGame game;
    Load(game, gamePath, pictures);
    result.Save = MedianMs(runs, [&] { kw::SaveCatalogs(game.Catalog); });
    // The editor asks this after every commit of edits, to keep the window's modified mark.
    bool modified = false;
    result.Modified = MedianMs(runs, [&] { modified = !kw::PendingWrites(game.Catalog).empty(); });
    if (modified) {
        throw std::runtime_error("a catalog without edits counts as modified");
    }
    int round = 1;
    result.SaveAll = MedianMs(
        runs, [&] { kw::SaveCatalogs(game.Catalog); },
        [&] { kw::test::EditEveryValue(game.Catalog, round++); });

    // The same bytes the last save wrote, written again through the same atomic replace.
    std::vector<std::pair<std::string, std::string>> written;
    for (const std::string& file : FilesWrittenBySave(game.Catalog)) {
        written.emplace_back(file, kw::fs::ReadFile(file).value());
    }
    result.SavedFiles = static_cast<int>(written.size());
    result.Write = MedianMs(runs, [&] {
        for (const auto& [file, bytes] : written) {
            kw::fs::AtomicReplace(file, bytes);
        }
    });

    MeasureGrid(result, game.Catalog, root, runs);

    std::error_code ec;
    stdfs::remove_all(root, ec);
    result.Ok = true;
    return result;
}

// The child measures and hands its result over; a failing child hands over nothing.
TScaleResult MeasureInChild(int scale, int runs) {
    TScaleResult result;
    result.Scale = scale;
    const std::optional<std::string> bytes = kw::bench::RunInChild(
        "scale " + std::to_string(scale), [&] { return kw::bench::ToBytes(MeasureScale(scale, runs)); });
    if (!kw::bench::FromBytes(bytes, result)) {
        result.Ok = false;
    }
    return result;
}

void PrintTime(const char* step, double ms) {
    std::printf("  %-15s %10.1f ms\n", step, ms);
}

void PrintRatio(const char* step, double ms, const char* floor, double floorMs, double goal) {
    const double ratio = ms / floorMs;
    std::printf("  %-15s %10.1f ms   %-15s %6.2f   goal <= %.0f   %s\n", step, ms, floor, ratio, goal,
                Verdict(ratio, goal));
}

void PrintScale(const TScaleResult& r) {
    const kw::test::TSyntheticGameSize size = kw::test::SyntheticGameSize(r.Scale);
    std::printf("\nScale %d: %d weapon files, %d ammunition, %d outfits, %d artefacts, %d items, %d weather "
                "slots\n",
                r.Scale, size.Weapons, size.Ammo, size.Outfits, size.Artefacts, size.Items,
                size.WeatherSlots);
    if (!r.Ok) {
        std::printf("  failed\n");
        return;
    }
    std::printf("  a load reads %d files (%.2f MB), a save writes %d files; median of %d runs\n", r.LoadFiles,
                static_cast<double>(r.LoadBytes) / (1024.0 * 1024.0), r.SavedFiles, r.Runs);
    std::printf("  %-15s %13s   %-15s %6s\n", "step", "median", "compared with", "ratio");
    PrintTime("read (disk)", r.ColdRead);
    PrintRatio("load (disk)", r.ColdLoad, "read (disk)", r.ColdRead, kDiskLoadGoal);
    PrintTime("read (cached)", r.Read);
    PrintRatio("load (cached)", r.Load, "read (cached)", r.Read, kCachedLoadGoal);
    PrintTime("write", r.Write);
    PrintRatio("save-all", r.SaveAll, "write", r.Write, kSaveGoal);
    PrintRatio("save", r.Save, "write", r.Write, kSaveGoal);
    PrintTime("modified?", r.Modified);
    std::printf("  %-15s %10.1f MB   (a load, every value changed, a save)\n", "peak RSS", r.PeakMb);
    std::printf("  largest grid %s: %d rows, %d columns\n",
                kw::kGridDefs[static_cast<std::size_t>(r.GridId)].Name, r.GridRows, r.GridColumns);
    PrintTime("grid fill", r.Fill);
    PrintTime("grid store", r.Store);
    PrintTime("grid export", r.Export);
    if (r.Import >= 0) {
        PrintTime("grid import", r.Import);
    } else {
        std::printf("  %-15s %13s\n", "grid import", "not built");
    }
    std::fflush(stdout);
}

void PrintSummary(const std::vector<TScaleResult>& results) {
    const auto at = [&](int scale) -> const TScaleResult* {
        for (const TScaleResult& r : results) {
            if (r.Scale == scale && r.Ok) {
                return &r;
            }
        }
        return nullptr;
    };
    std::printf("\n");
    if (const TScaleResult *ten = at(10), *hundred = at(100); ten && hundred) {
        // The cached load shows the program's own growth; from the disk, the read itself grows with the
        // folder.
        const double cached = hundred->Load / ten->Load;
        std::printf("Growth load(100)/load(10): %.2f cached   goal <= %.0f (linear)   %s\n", cached,
                    kGrowthGoal, Verdict(cached, kGrowthGoal));
        std::printf("  from the disk: load %.2f, read alone %.2f\n", hundred->ColdLoad / ten->ColdLoad,
                    hundred->ColdRead / ten->ColdRead);
    }
    if (const TScaleResult *ten = at(10), *hundred = at(100); ten && hundred) {
        const std::pair<const char*, double TScaleResult::*> steps[] = {{"fill", &TScaleResult::Fill},
                                                                        {"store", &TScaleResult::Store},
                                                                        {"export", &TScaleResult::Export},
                                                                        {"import", &TScaleResult::Import}};
        for (const auto& [name, field] : steps) {
            if (hundred->*field < 0) {
                continue;
            }
            const double growth = hundred->*field / std::max(ten->*field, 0.001);
            std::printf(
                "Grid %-6s at scale 100: %7.1f ms   goal < %.0f ms   %s;   growth %.2f   goal <= %.0f   "
                "%s\n",
                name, hundred->*field, kGridGoalMs, Verdict(hundred->*field, kGridGoalMs), growth,
                kGridGrowthGoal, Verdict(growth, kGridGrowthGoal));
        }
    }
    if (const TScaleResult* hundred = at(100)) {
        std::printf("Peak RSS at scale 100: %.1f MB   goal <= %.0f MB   %s\n", hundred->PeakMb, kPeakGoalMb,
                    Verdict(hundred->PeakMb, kPeakGoalMb));
    }
    const bool diskLikeMemory = std::any_of(results.begin(), results.end(), [](const TScaleResult& r) {
        return r.Ok && r.ColdRead < 2 * r.Read;
    });
    if (diskLikeMemory) {
        std::printf("\nNote: reading from the disk took hardly longer than from memory; the temporary folder "
                    "(TMPDIR) seems to be\nin memory, so the (disk) figures are cached ones.\n");
    }
    std::printf(
        "\n(disk): the game files dropped from the page cache before each run; (cached): read again from "
        "memory.\nwrite: the bytes of the last save-all written again through the same atomic replace "
        "(temporary file,\nfsync, rename, folder fsync). save: no value changed, so no file is replaced.\n");
}

const char* const kUsage =
    "Usage: kitwright-bench [--scales 1,10,100] [--runs 5]\n"
    "Times read, load, save, save-all and write of a generated game folder per scale, and fill, store,\n"
    "export and import of its largest table-view grid.\n";

} // namespace

int main(int argc, char** argv) {
    kw::bench::TBenchOptions options{{1, 10, 100}, 5};
    if (const std::optional<int> exitCode = kw::bench::ParseOptions(argc, argv, options, kUsage)) {
        return *exitCode;
    }
    const int runs = options.Runs;
    std::printf(
        "kitwright-bench: medians of at least %d runs after a warm-up; save = no edit, save-all = every "
        "value changed\n",
        runs);
    std::fflush(stdout);
    std::vector<TScaleResult> results;
    for (int scale : options.Scales) {
        // Small folders are quick; more runs steady their medians.
        results.push_back(MeasureInChild(scale, std::max(runs, 100 / std::max(scale, 1))));
        PrintScale(results.back());
    }
    PrintSummary(results);
    const bool allOk =
        std::all_of(results.begin(), results.end(), [](const TScaleResult& r) { return r.Ok; });
    return allOk ? 0 : 1;
}
