// The text of one row of the results list.
#pragma once

#include <string>

#include "KeisanRecord.h"

namespace sekora {

// The status text of a row: "ＯＫ" or the NG reason; empty for an unknown code.
std::string StatusText(int status);

// The size of the section: "1.000×1.500" for a box B × H, "φ1.100" for a
// pipe. UTF-8.
std::string SectionSizeText(const KeisanRecord& rec);

// Row `rowNo` built from `rec`: the number right-aligned in five characters,
// "|", the size, "|", the status text. UTF-8.
std::string ResultRowText(int rowNo, const KeisanRecord& rec);

}  // namespace sekora
