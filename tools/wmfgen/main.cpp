// wmfgen [folder]: writes the sheet's figure files into the folder (the
// current folder by default), replacing any that are there.
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "Figures.h"

namespace {

void WriteFigure(const std::filesystem::path& folder, const sekora::wmfgen::Figure& figure) {
  const std::filesystem::path path =
      folder / std::filesystem::path(std::u8string(figure.fileName.begin(), figure.fileName.end()));
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(figure.bytes.data()),
             static_cast<std::streamsize>(figure.bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : ".";
  try {
    std::filesystem::create_directories(folder);
    for (const auto& figure :
         {sekora::wmfgen::BoxSectionFigure(), sekora::wmfgen::PipeSectionFigure(),
          sekora::wmfgen::ProfileFigure()}) {
      WriteFigure(folder, figure);
    }
  } catch (const std::exception& error) {
    std::cerr << "wmfgen: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
