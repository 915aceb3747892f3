// Every truncation of the sample and of each real model, each in a fresh allocation of
// exactly its length so that a read one byte past it is caught in the sanitizer build:
// refused as damaged until it holds all that the tool reads, as the layout says, then
// given the whole model's status and text. Real models are read in place from
// SPROING_REALWORLD_DIR.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "run/model_checks.h"
#include "tests/support/in_memory.h"
#include "tests/support/test_files.h"
#include "tests/support/model_builder.h"
#include "tests/support/layout_oracle.h"
#include "tests/support/model_layout.h"
#include "tests/support/real_models.h"

namespace {

struct Whole {
  std::string title;
  std::string bytes;
  int status = 0;        // of the whole model
  std::string text;      // its definitions, when accepted
  std::string console;   // and its console lines but the closing one
};

// The status of the model cut to `length`: not a model inside the magic, damaged inside the
// version word, then an old version's refusal at once, else damaged until it holds all the
// tool reads, and from there on the whole model's.
int statusWhenCut(const Whole& whole, std::size_t length, std::size_t readLength) {
  if (length < 4 || whole.bytes.compare(0, 4, "IDST") != 0) return 3;
  if (length < 8) return 7;
  const std::vector<unsigned char> header(whole.bytes.begin(), whole.bytes.begin() + 8);
  if (getInt32(header, HeaderLayout::kVersion) < 45) return 4;
  return length < readLength ? 7 : whole.status;
}

std::string boneLines(const std::string& console) {
  return console.substr(0, console.rfind('\n', console.size() - 2) + 1);
}

std::vector<Whole> models() {
  std::vector<Whole> all;
  const std::string sample = bytesOf(buildModel(sampleModelPlan()).bytes);
  ModelPlan older = sampleModelPlan();  // whose descriptor table is checked and rewritten
  older.version = 45;
  older.descriptors.assign(2, {});
  older.descriptors[1][DescriptorLayout::kSectionWord] = 1;
  for (const std::string& bytes : {sample, bytesOf(buildModel(older).bytes)}) {
    all.push_back({bytes == sample ? "sample" : "sample at version 45", bytes, 0,
                   readFixture("crate01_jiggles.qci"),
                   boneLines(readFixture("crate01.stdout"))});
  }

  const std::string real = SPROING_REALWORLD_DIR;
  for (const RealModel& listed : readRealModels(real)) {
    Whole m;
    m.title = listed.model;
    m.status = listed.status;
    const std::string stem = real + "/" + m.title.substr(0, m.title.size() - 4);
    m.bytes = readFile(real + "/" + m.title);
    if (m.status == 0) {
      m.text = readFile(stem + ".qci");
      m.console = boneLines(readFile(stem + ".stdout"));
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
    const std::size_t readLength = lengthReadByLayout(std::vector<unsigned char>(whole.bytes.begin(), whole.bytes.end()));
    for (std::size_t length = 0; length <= whole.bytes.size(); ++length) {
      const std::unique_ptr<unsigned char[]> copy(new unsigned char[length]);
      std::memcpy(copy.get(), whole.bytes.data(), length);
      ModelImage image{copy.get(), length};
      const int status = exitStatusOf(checkLoadedModel(image).outcome);
      const int expected = statusWhenCut(whole, length, readLength);
      if (status != expected) {
        ADD_FAILURE() << "length " << length << " of " << whole.bytes.size() << ": status " << status
                      << ", expected " << expected;
        break;
      }
      if (status != 0) continue;
      const RenderedText rendered = renderedText(image);
      if (rendered.file != whole.text || rendered.console != whole.console) {
        ADD_FAILURE() << "length " << length << " gives other text than the whole model";
        break;
      }
    }
  }
}

}  // namespace
