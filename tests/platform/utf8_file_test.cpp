// The file operations the tool relies on, with non-ASCII names, on whichever system runs
// the tests (the Windows build runs them under Wine).
#include "platform/utf8_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

namespace {

const std::string kName = "\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB-\xF0\x9F\xA6\x8E";  // файл-🦎
const std::string kOther = "d\xC3\xA9j\xC3\xA0";                                  // déjà

class Utf8File : public ::testing::Test {
 protected:
  // A folder of its own: other runs of these tests may share the temporary folder.
  void SetUp() override {
    std::random_device random;
    for (int attempt = 0; attempt < 100 && folder.empty(); ++attempt) {
      const auto candidate =
          std::filesystem::temp_directory_path() / ("sproing_utf8_" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate)) folder = candidate.string();
    }
    ASSERT_FALSE(folder.empty());
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  std::string at(const std::string& name) const { return folder + "/" + name; }

  // The file's text with line ends as written on Linux; "(none)" if it cannot be opened.
  static std::string textOf(const std::string& path) {
    std::FILE* file = openRegularFileUtf8(path.c_str());
    if (file == nullptr) return "(none)";
    std::string text;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
      if (c != '\r') text += static_cast<char>(c);
    }
    std::fclose(file);
    return text;
  }
  static bool create(const std::string& path, const char* text) {
    std::FILE* file = createNewFileUtf8(path.c_str(), true);
    if (file == nullptr) return false;
    std::fputs(text, file);
    return std::fclose(file) == 0;
  }

  std::string folder;
};

TEST_F(Utf8File, CreatesOnlyFilesThatAreNotThere) {
  ASSERT_TRUE(create(at(kName), "first\n"));
  EXPECT_EQ(textOf(at(kName)), "first\n");
  errno = 0;
  EXPECT_EQ(createNewFileUtf8(at(kName).c_str(), true), nullptr);
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(textOf(at(kName)), "first\n");
}

TEST_F(Utf8File, ReplacesAnExistingFileButNeverAFolder) {
  ASSERT_TRUE(create(at(kName), "new\n"));
  ASSERT_TRUE(create(at(kOther), "an older and longer text\n"));
  EXPECT_TRUE(replaceFileUtf8(at(kName).c_str(), at(kOther).c_str()));
  EXPECT_EQ(textOf(at(kOther)), "new\n");
  EXPECT_EQ(textOf(at(kName)), "(none)");

  ASSERT_TRUE(create(at(kName), "kept\n"));
  std::filesystem::create_directory(at("folder"));
  EXPECT_FALSE(replaceFileUtf8(at(kName).c_str(), at("folder").c_str()));
  EXPECT_EQ(textOf(at(kName)), "kept\n");
  EXPECT_TRUE(std::filesystem::is_directory(at("folder")));
}

// A model's stored name may be in an old 8-bit encoding rather than UTF-8; it must still
// name a file (on Windows it is read in the ANSI code page).
TEST_F(Utf8File, NamesThatAreNotUtf8StillNameFiles) {
  const std::string names[] = {"caf\xE9", "\xFF\xFE", "\xC3", kName + "\x80"};
  for (const std::string& name : names) {
    EXPECT_TRUE(create(at(name), "text\n")) << name;
    EXPECT_EQ(textOf(at(name)), "text\n") << name;
    EXPECT_TRUE(removeFileUtf8(at(name).c_str())) << name;
  }
}

TEST_F(Utf8File, RemovesAFileOnce) {
  ASSERT_TRUE(create(at(kName), "x\n"));
  EXPECT_TRUE(removeFileUtf8(at(kName).c_str()));
  EXPECT_FALSE(removeFileUtf8(at(kName).c_str()));
  EXPECT_EQ(textOf(at(kName)), "(none)");
}

}  // namespace
