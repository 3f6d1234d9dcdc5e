#include "catalog/EditHistory.h"

#include <stdexcept>

namespace kw {

void TEditHistory::Push(TEditStep step) {
    FSteps.erase(FSteps.begin() + static_cast<std::ptrdiff_t>(FDone), FSteps.end());
    FSteps.push_back(std::move(step));
    if (FSteps.size() > kMaxSteps) {
        FSteps.pop_front();
    }
    FDone = FSteps.size();
}

const TEditStep& TEditHistory::StepBack() {
    if (FDone == 0) {
        throw std::logic_error("nothing to undo");
    }
    return FSteps[--FDone];
}

const TEditStep& TEditHistory::StepForth() {
    if (FDone == FSteps.size()) {
        throw std::logic_error("nothing to redo");
    }
    return FSteps[FDone++];
}

void TEditHistory::Clear() {
    FSteps.clear();
    FDone = 0;
}

} // namespace kw
