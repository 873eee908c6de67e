// The names of the files Sekora keeps in its data folder.
#pragma once

namespace sekora {

// The section catalogues: boxes B x H, and pipe diameters.
inline constexpr const char* kBoxCatalogueName = "BOX.TXT";
inline constexpr const char* kPipeCatalogueName = "KAN.TXT";

// The folder of the message catalogues beside the programs of a build
// folder or a portable copy.
inline constexpr const char* kMessageCatalogueFolderName = "locale";

}  // namespace sekora
