#pragma once

#include "catalog/Catalog.h"
#include "catalog/KeyLists.h"

#include <string>

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

// Links the parameters that read the same key of the same section of one category file. A weapon file holds
// one weapon, whose keys are its own.
void LinkSharedParams(TCatalog& catalog);

} // namespace kw
