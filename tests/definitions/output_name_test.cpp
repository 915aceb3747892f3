#include "definitions/output_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string made(const char* modelName, std::size_t room = 96) {
  char name[96] = {};
  return makeOutputName(modelName, name, room) ? name : "(does not fit)";
}

TEST(OutputName, BaseNameLessItsExtension) {
  struct Case {
    const char* modelName;
    const char* outputName;
  } const cases[] = {
      {"models/props/crate01.mdl", "crate01_jiggles.qci"},
      {"crate01.mdl", "crate01_jiggles.qci"},
      {"a/b\\c.mdl", "c_jiggles.qci"},
      {"a\\b/c.mdl", "c_jiggles.qci"},
      {"/crate01.mdl", "crate01_jiggles.qci"},
      {".mdl", "_jiggles.qci"},
      {"dir/.mdl", "_jiggles.qci"},
      {"model.MDL", "model_jiggles.qci"},  // the four characters are not compared
      {"a/gta_online_", "gta_onl_jiggles.qci"},
      // Shorter than four characters: kept whole.
      {"abc", "abc_jiggles.qci"},
      {"x/ab", "ab_jiggles.qci"},
      {"", "_jiggles.qci"},
      {"dir/", "_jiggles.qci"},
  };
  for (const Case& c : cases) EXPECT_EQ(made(c.modelName), c.outputName) << c.modelName;
  // The room counts the NUL: "crate01_jiggles.qci" is 19 characters.
  EXPECT_EQ(made("crate01.mdl", 20), "crate01_jiggles.qci");
  EXPECT_EQ(made("crate01.mdl", 19), "(does not fit)");
}

TEST(OutputName, RefusesControlCharactersAndColons) {
  for (const char* name : {"crate01_jiggles.qci", "mod\xC3\xA8le_jiggles.qci", "with space_jiggles.qci"}) {
    EXPECT_TRUE(isUsableOutputName(name)) << name;
  }
  for (const char* name : {"c:crate_jiggles.qci", "crate:stream_jiggles.qci", "tab\t_jiggles.qci",
                           "unit\x1F_jiggles.qci",  // the last control character
                           "line\n_jiggles.qci", "del\x7F_jiggles.qci"}) {
    EXPECT_FALSE(isUsableOutputName(name)) << name;
  }
}

}  // namespace
