#pragma once
// The tool's three verbs. Each takes the arguments after its name and returns the exit code.
#include <string>
#include <vector>

using Arguments = std::vector<std::string>;

int RunImport(const Arguments& arguments);
int RunCheck(const Arguments& arguments);
int RunExport(const Arguments& arguments);
