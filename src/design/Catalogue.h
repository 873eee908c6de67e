// The section catalogues BOX.TXT (boxes B x H) and KAN.TXT (pipe diameters).
#pragma once

#include <string>
#include <string_view>

#include "DataFiles.h"
#include "DesignConditions.h"
#include "KeisanRecord.h"

namespace sekora {

// Appends one candidate per data line of the catalogues that
// `conditions.ShapeOption` asks for, read from `folder`: all boxes of BOX.TXT
// first, then all pipes of KAN.TXT. Updates `conditions.CandidateCount`.
// Throws CatalogueError for a missing file or a bad line, and
// TooManyCandidatesError past 32 767 candidates.
void LoadSections(const std::string& folder, DesignConditions& conditions, Candidates& candidates);

// Appends the candidates of one catalogue's text. `fileName` names the file
// in error messages.
void AppendBoxSections(std::string_view text, const std::string& fileName,
                       DesignConditions& conditions, Candidates& candidates);
void AppendPipeSections(std::string_view text, const std::string& fileName,
                        DesignConditions& conditions, Candidates& candidates);

}  // namespace sekora
