#include "tests/support/real_models.h"

#include <fstream>
#include <sstream>

std::vector<RealModel> readRealModels(const std::string& folder) {
  std::vector<RealModel> models;
  std::ifstream manifest(folder + "/manifest.tsv");
  std::string line;
  std::getline(manifest, line);  // column names
  while (std::getline(manifest, line)) {
    std::istringstream fields(line);
    RealModel m;
    std::string version, jiggleBones;
    if (fields >> m.model >> version >> jiggleBones >> m.status >> m.outputFile) models.push_back(m);
  }
  return models;
}
