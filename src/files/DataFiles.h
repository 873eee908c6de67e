// The names of the files Sekora keeps in its data folder.
#pragma once

namespace sekora {

// The section catalogues: boxes B x H, and pipe diameters.
inline constexpr const char* kBoxCatalogueName = "BOX.TXT";
inline constexpr const char* kPipeCatalogueName = "KAN.TXT";

}  // namespace sekora
