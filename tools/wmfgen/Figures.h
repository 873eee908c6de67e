// The dimension figures of the calculation sheet.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sekora::wmfgen {

struct Figure {
  std::string fileName;  // UTF-8, as the sheet asks for it
  std::vector<std::uint8_t> bytes;
};

// The box section with B and H, 2950 x 2050 twips.
Figure BoxSectionFigure();
// The part-full pipe with D, r, hc, y, θ and Φ, 2550 x 1800 twips.
Figure PipeSectionFigure();
// The longitudinal profile with h1, h2, Z1, Z2, L, the water surface and the
// energy line, 4200 x 2400 twips.
Figure ProfileFigure();

}  // namespace sekora::wmfgen
