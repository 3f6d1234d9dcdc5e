#pragma once

#include "catalog/Catalog.h"
#include "catalog/KeyLists.h"

#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

// Where each parameter of a loaded catalog lives, walked in the order a save writes: the weapons in
// collection order, then the category files in the order of the load's file list. The loader links the
// parameters that share a place; the saver asks which of them differ from their file.
namespace kw {

struct TParamPlace {
    const std::string& File; // full path as the load had it
    const ProfileFile* Held; // the category file held since the load; none for a weapon's own file
    const std::string& Section;
    const std::string& Key;
    TKeyUse Use;
    TParam& Param;
};

// Parameters of a linked section are visited only while that section has keys; unused ones never.
void ForEachParamPlace(TCatalog& catalog, const TParamPlaceVisitor& visit);

// What PendingWrites lists, one write at a time in the same order, without holding all of them: a save of
// every value of a big catalog would hold hundreds of thousands.
void ForEachPendingWrite(TCatalog& catalog, const std::function<void(const TPendingWrite&)>& visit);

// Which entries a walk visits, told by address, so that passing over one does not touch it.
using TEntryFilter = std::function<bool(const void* entry)>;

// The category files' part of ForEachParamPlace, over the entries that only lets through (all of them when
// it is empty).
void ForEachHeldParamPlace(TCatalog& catalog, const TEntryFilter& only, const TParamPlaceVisitor& visit);

// The sections the entries of the category files read, noted by the loader while each entry is still in the
// processor's caches. A catalog too big for the caches costs a cache miss per entry visited, and most
// sections are read by one entry alone.
class TSectionReadings {
public:
    // The sections whose keys ForEachParamPlace visits for the entry: its own, and the linked one while that
    // exists in the file.
    template <class T> void NoteEntry(const T& entry, const ProfileFile& held, const TKeyList<T>& keys) {
        Note(&entry, held, entry.Section);
        if (const std::string* linked = LinkedSection(entry, keys, held)) {
            Note(&entry, held, *linked);
        }
    }

    // The entries reading a section that another reading reaches too (or, rarely, one whose name hashes
    // alike): only their parameters can share a place.
    std::unordered_set<const void*> EntriesSharingASection() const;

private:
    struct TReading {
        const ProfileFile* Held;
        size_t Hash;
        const void* Entry;
    };

    void Note(const void* entry, const ProfileFile& held, const std::string& section);

    std::vector<TReading> FReadings;
};

// Links the parameters that read the same key of the same section of one category file. A weapon file holds
// one weapon, whose keys are its own.
void LinkSharedParams(TCatalog& catalog, const TSectionReadings& readings);

} // namespace kw
