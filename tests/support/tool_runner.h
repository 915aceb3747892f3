// Runs the built tool as a user would, in a folder of the test's choosing.
#pragma once

#include <string>
#include <vector>

struct ToolRun {
  int status = -1;      // exit status, or -1 if it did not exit normally
  std::string output;   // everything it wrote on standard output
  std::string errors;   // and on standard error
};

// Runs the tool with `arguments` in `folder`. Output is captured outside that folder.
ToolRun runTool(const std::vector<std::string>& arguments, const std::string& folder);

// A new empty folder under the system's temporary folder.
std::string makeScratchFolder();
void removeFolder(const std::string& folder);

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
std::string bytesOf(const std::vector<unsigned char>& bytes);
// Names of the entries of a folder, sorted.
std::vector<std::string> folderEntries(const std::string& folder);
// Line ends as written on Linux: a tool running under Windows writes CR LF.
std::string withoutCarriageReturns(std::string text);
