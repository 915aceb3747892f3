// The page's module, built natively: the texts it hands the page for a model and an edits
// text, from the same runs as the command line's, and the places of a text as the reader
// parts it.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/support/model_builder.h"
#include "tests/support/test_files.h"
#include "web/text_places.h"
#include "web/web_entry.h"

namespace {

// The index of a text or number, by the name the module gives it.
int indexOf(const char* group, const char* name) {
  const std::string words = sproingWords();
  const std::string key = std::string(group) + '\x1f' + name + '\x1f';
  const std::size_t at = words.find(key);
  return at == std::string::npos ? -1 : std::stoi(words.substr(at + key.size()));
}

std::string text(const char* name) {
  const int which = indexOf("text", name);
  return std::string(sproingText(which), sproingTextLength(which));
}

unsigned char* handed(const std::string& bytes) {
  unsigned char* at = sproingAllocate(bytes.size());
  std::memcpy(at, bytes.data(), bytes.size());
  return at;
}

TEST(PageModule, DumpsAsTheCommandLineDoes) {
  const std::string model = bytesOf(buildModel(sampleModelPlan()).bytes);
  ASSERT_EQ(sproingDump(handed(model), model.size(), "props/crate01.mdl"), 0);
  EXPECT_EQ(text("definitions"), readFixture("crate01_jiggles.qci"));
  EXPECT_EQ(text("console"), readFixture("crate01.stdout"));
  EXPECT_EQ(text("output-name"), "crate01_jiggles.qci");
  EXPECT_EQ(text("file-name"), "crate01.mdl");
  // A record per jiggle bone: its name, blocks and each line's block, unit, role, axis,
  // keyword and values, as the text shows them.
  const std::string bones = text("bones");
  EXPECT_EQ(bones.rfind("tail_1\x1fis_flexible\x1flength-flexes\x1fis_flexible s stiffness yaw yaw_stiffness 100\x1f", 0), 0U);
  EXPECT_NE(bones.find("\x1fis_flexible d limit angle angle_constraint 45\x1etail_2\x1fis_rigid has_base_spring\x1f\x1f"),
            std::string::npos);
  EXPECT_NE(bones.find("\x1fhas_base_spring s limit forward forward_constraint -0.5 0.5\x1f"), std::string::npos);

  // A file the page could not read: the tool's own refusal.
  EXPECT_EQ(sproingDump(nullptr, 10, "gone.mdl"), 6);
  EXPECT_EQ(text("console"), "Cannot read gone.mdl\n");
  EXPECT_EQ(text("definitions"), "");
}

TEST(PageModule, AppliesAndTellsWhatChanged) {
  const std::string model = bytesOf(buildModel(sampleModelPlan()).bytes);
  std::string edits = readFixture("crate01_jiggles.qci");
  edits.replace(edits.find("yaw_stiffness 100"), 17, "yaw_stiffness 150");
  ASSERT_EQ(sproingApply(handed(model), model.size(), "a/crate01.mdl", handed(edits), edits.size(), "e.qci", 0), 0);
  EXPECT_EQ(text("console"), "Changed tail_1: yaw_stiffness 100 -> 150\n");
  EXPECT_EQ(text("changed-bones"), "tail_1\x1e");
  EXPECT_EQ(text("file-name"), "crate01.mdl");
  EXPECT_EQ(sproingNumber(indexOf("number", "changed")), 1);
  EXPECT_EQ(text("model").size(), model.size());
}

// Each outcome with how the page shows it: only a model without jiggle bones is quiet.
TEST(PageModule, OutcomesWithTheirLooks) {
  const std::string words = sproingWords();
  const auto record = [](std::initializer_list<const char*> fields) {
    std::string joined = "outcome";
    for (const char* field : fields) joined += std::string("\x1f") + field;
    return joined + '\x1e';
  };
  for (const std::string& expected : {record({"written", "0", "written", "done"}),
                                      record({"no-jiggle-bones", "5", "no jiggle bones", "quiet"}),
                                      record({"damaged", "7", "damaged", "refused"}),
                                      record({"edits-refused", "10", "edits refused", "refused"})}) {
    EXPECT_NE(words.find(expected), std::string::npos) << expected;
  }
}

// The skeleton's file, named as the sweep names it after the model's file.
TEST(PageModule, MakesTheSkeletonFile) {
  const std::string model = bytesOf(buildModel(sampleModelPlan()).bytes);
  ASSERT_EQ(sproingSkeletonFile(handed(model), model.size(), "in/pyro.mdl"), 0);
  EXPECT_EQ(text("skeleton-name"), "pyro_skeleton.glb");
  const std::string glb = text("skeleton-file");
  ASSERT_GT(glb.size(), 12U);
  EXPECT_EQ(glb.substr(0, 4), "glTF");
  EXPECT_EQ(text("definitions"), readFixture("crate01_jiggles.qci"));
}

// Places by byte offsets: a comment and a quoted name are what the reader says they are.
TEST(PageModule, PlacesOfAText) {
  const std::string edits = "// tail\n$jigglebone \"tail_1\" {\n  is_flexible {\n    yaw_constraint -30 30\n  }\n}\n";
  std::string places;
  renderTextPlaces(edits.c_str(), edits.size(), places);
  const std::vector<std::string> expected = {
      "bone\x1f" "2\x1f" "8\x1f" "78\x1f" "21\x1f" "27",
      "block\x1f" "3\x1f" "33\x1f" "76\x1fis_flexible",
      "value\x1f" "4\x1f" "51\x1f" "72\x1fis_flexible\x1f" "d\x1flimit\x1fyaw\x1fyaw_constraint\x1f" "66\x1f" "69\x1f" "70\x1f" "72"};
  for (const std::string& place : expected) EXPECT_NE(places.find(place + '\x1e'), std::string::npos) << place;
}

}  // namespace
