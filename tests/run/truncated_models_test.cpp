// Every truncation of the sample and of each real model, each in a fresh allocation of
// exactly its length so that a read one byte past it is caught in the sanitizer build:
// refused as damaged until it holds all that the tool reads, then accepted with the whole
// model's text. Real models are read in place from SPROING_REALWORLD_DIR.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "run/model_checks.h"
#include "tests/support/in_memory.h"
#include "tests/support/model_builder.h"
#include "tests/support/real_models.h"

namespace {

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string bytesOf(const std::vector<unsigned char>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

struct Whole {
  std::string title;
  std::string bytes;
  int status = 0;        // of the whole model
  std::string text;      // its definitions, when accepted
  std::string console;   // and its console lines but the closing one
};

std::string boneLines(const std::string& console) {
  return console.substr(0, console.rfind('\n', console.size() - 2) + 1);
}

std::vector<Whole> models() {
  std::vector<Whole> all;
  const std::string fixtures = SPROING_SOURCE_DIR "/tests/fixtures/";
  const std::string sample = bytesOf(buildModel(sampleModelPlan()).bytes);
  ModelPlan older = sampleModelPlan();  // whose descriptor table is checked and rewritten
  older.version = 45;
  older.descriptors.assign(2, {});
  older.descriptors[1][DescriptorLayout::kSectionWord] = 1;
  for (const std::string& bytes : {sample, bytesOf(buildModel(older).bytes)}) {
    all.push_back({bytes == sample ? "sample" : "sample at version 45", bytes, 0,
                   readAll(fixtures + "crate01_jiggles.qci"),
                   boneLines(readAll(fixtures + "crate01.stdout"))});
  }

  const std::string real = SPROING_REALWORLD_DIR;
  for (const RealModel& listed : readRealModels(real)) {
    Whole m;
    m.title = listed.model;
    m.status = listed.status;
    const std::string stem = real + "/" + m.title.substr(0, m.title.size() - 4);
    m.bytes = readAll(real + "/" + m.title);
    if (m.status == 0) {
      m.text = readAll(stem + ".qci");
      m.console = boneLines(readAll(stem + ".stdout"));
    }
    all.push_back(m);
  }
  return all;
}

TEST(TruncatedModels, AreRefusedUntilWholeEnoughThenReadAsTheWhole) {
  const std::vector<Whole> all = models();
  if (all.size() < 9) {
    const char* ci = std::getenv("CI");
    if (ci != nullptr && std::string(ci) == "true") FAIL() << "real models missing";
    std::cout << "real models not found at " SPROING_REALWORLD_DIR "; the sample only\n";
  }
  for (const Whole& whole : all) {
    SCOPED_TRACE(whole.title);
    ASSERT_FALSE(whole.bytes.empty());
    std::size_t firstSound = 0;  // 0: not yet
    for (std::size_t length = 0; length <= whole.bytes.size(); ++length) {
      const std::unique_ptr<unsigned char[]> copy(new unsigned char[length]);
      std::memcpy(copy.get(), whole.bytes.data(), length);
      ModelImage image{copy.get(), length};
      const ModelCheck check = checkLoadedModel(image, "m.mdl");
      // Cut inside the magic: not a model. Then damaged until the first length that holds
      // all the tool reads, and from there on the whole model's status.
      const int expected = length < 4 ? 3 : firstSound != 0 || check.status != 7 ? whole.status : 7;
      if (check.status != expected) {
        ADD_FAILURE() << "length " << length << " of " << whole.bytes.size() << ": status "
                      << check.status << ", expected " << expected << ": " << check.message;
        break;
      }
      if (length >= 4 && check.status != 7 && firstSound == 0) firstSound = length;
      if (check.status != 0) continue;
      const RenderedText rendered = renderedText(image);
      if (rendered.file != whole.text || rendered.console != whole.console) {
        ADD_FAILURE() << "length " << length << " gives other text than the whole model";
        break;
      }
    }
    EXPECT_NE(firstSound, 0U);
  }
}

}  // namespace
