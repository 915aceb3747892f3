// The real models beside the project (../shared/realworld), as its manifest lists them.
#pragma once

#include <string>
#include <vector>

struct RealModel {
  std::string model;       // its file name in the folder
  int status = -1;         // the status the dump must end with
  std::string outputFile;  // the file it must write; "-" for none
};

// What the manifest in `folder` lists; nothing when there is no manifest.
std::vector<RealModel> readRealModels(const std::string& folder);
