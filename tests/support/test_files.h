// Files for tests: whole files read and written, and the fixtures beside the tests.
#pragma once

#include <string>
#include <vector>

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
// A file of tests/fixtures, by its name.
std::string readFixture(const std::string& name);
std::string bytesOf(const std::vector<unsigned char>& bytes);
