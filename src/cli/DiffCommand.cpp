#include "cli/DiffCommand.h"

#include "catalog/CatalogEntries.h"
#include "catalog/Dump.h"
#include "cli/ToolCommands.h"
#include "gamecfg/AsciiText.h"
#include "gamecfg/CodePage.h"

#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kw {
namespace {

bool IsListBlank(char c) {
    return c == ' ' || c == '\t';
}

// The value with every run of blanks that touches a comma taken out.
std::string WithoutBlanksAtCommas(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        if (!IsListBlank(text[at])) {
            out += text[at++];
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && IsListBlank(text[end])) {
            ++end;
        }
        const bool afterComma = !out.empty() && out.back() == ',';
        const bool beforeComma = end < text.size() && text[end] == ',';
        if (!afterComma && !beforeComma) {
            out.append(text.substr(at, end - at));
        }
        at = end;
    }
    return out;
}

// The entries of one folder as dump sees them, by catalog and by what matches them across folders: the
// section regardless of letter case, for a weapon its file name. A section that appears twice counts once,
// the first, as the loader reads it.
class TFolderEntries {
public:
    explicit TFolderEntries(TCatalog& catalog) {
        ForEachDumpEntry(catalog, [this](const TDumpEntry& entry) {
            const auto [at, added] = FByKey.try_emplace({std::string(entry.Catalog), KeyOf(entry)}, entry);
            if (added) {
                FOrder.push_back(&at->second);
            }
        });
    }

    const TDumpEntry* Find(const TDumpEntry& entry) const {
        const auto found = FByKey.find({std::string(entry.Catalog), KeyOf(entry)});
        return found == FByKey.end() ? nullptr : &found->second;
    }
    const std::vector<const TDumpEntry*>& InOrder() const { return FOrder; }

private:
    static std::string KeyOf(const TDumpEntry& entry) {
        return AsciiLower(std::string(entry.FileName.empty() ? entry.Section : entry.FileName));
    }

    std::map<std::pair<std::string, std::string>, TDumpEntry> FByKey;
    std::vector<const TDumpEntry*> FOrder;
};

class TDiffWriter {
public:
    TDiffWriter(std::ostream& out, TDiffComparison comparison) : FOut(out), FComparison(comparison) {}

    void OneSided(const TDumpEntry& entry, std::string_view what) { Start(entry) << what << '\n'; }

    // Fields are compared by their place: both entries are of one class, so they list the same fields.
    void Fields(const TDumpEntry& a, const TDumpEntry& b) {
        for (std::size_t i = 0; i < a.Fields.size() && i < b.Fields.size(); ++i) {
            if (!SameDiffValue(a.Fields[i].Value, b.Fields[i].Value, FComparison)) {
                Start(a) << a.Fields[i].Field << '\t' << EscapeDumpText(a.Fields[i].Value) << '\t'
                         << EscapeDumpText(b.Fields[i].Value) << '\n';
            }
        }
    }

    bool Found() const { return FFound; }

private:
    std::ostream& Start(const TDumpEntry& entry) {
        FFound = true;
        return FOut << entry.Catalog << '\t' << EscapeDumpText(Cp1251ToUtf8(entry.Section)) << '\t';
    }

    std::ostream& FOut;
    TDiffComparison FComparison;
    bool FFound = false;
};

// Catalog by catalog in dump order: what changed or went, in A's order, then what B added, in B's order.
bool PrintDifferences(TCatalog& a, TCatalog& b, TDiffComparison comparison, std::ostream& out) {
    const TFolderEntries entriesA(a);
    const TFolderEntries entriesB(b);
    TDiffWriter writer(out, comparison);
    for (const std::string_view catalog : kCatalogNames) {
        for (const TDumpEntry* entry : entriesA.InOrder()) {
            if (entry->Catalog != catalog) {
                continue;
            }
            if (const TDumpEntry* inB = entriesB.Find(*entry)) {
                writer.Fields(*entry, *inB);
            } else {
                writer.OneSided(*entry, "removed");
            }
        }
        for (const TDumpEntry* entry : entriesB.InOrder()) {
            if (entry->Catalog == catalog && !entriesA.Find(*entry)) {
                writer.OneSided(*entry, "added");
            }
        }
    }
    return writer.Found();
}

} // namespace

bool SameDiffValue(std::string_view a, std::string_view b, TDiffComparison comparison) {
    if (a == b) {
        return true;
    }
    return comparison == TDiffComparison::IgnoreListBlanks &&
           WithoutBlanksAtCommas(a) == WithoutBlanksAtCommas(b);
}

bool IsDiffCommand(const std::string& command) {
    return command == "diff";
}

int RunDiffCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    TDiffComparison comparison = TDiffComparison::IgnoreListBlanks;
    std::vector<std::string> folders;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--exact") {
            comparison = TDiffComparison::Exact;
        } else if (args[i].starts_with("--")) {
            return UsageError("unknown option \"" + args[i] + "\" of \"diff\"", err);
        } else {
            folders.push_back(args[i]);
        }
    }
    if (folders.size() != 2) {
        return UsageError("\"diff\" takes exactly two game folders", err);
    }
    auto a = std::make_unique<TDocument>();
    auto b = std::make_unique<TDocument>();
    if (!LoadToolDocument(*a, folders[0], false, out, err) ||
        !LoadToolDocument(*b, folders[1], false, out, err)) {
        return kExitUsage;
    }
    return PrintDifferences(a->Catalog(), b->Catalog(), comparison, out) ? kExitFailed : kExitOk;
}

} // namespace kw
