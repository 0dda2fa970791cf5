#pragma once

#include <string>
#include <vector>

// The command line of a tool that takes only file names: -h/--help prints
// the help, --version the version, "--" ends the options, and any other
// option is a usage error. Returns -1 with the file names in files to go on,
// or the status to exit with (0 after the help or the version, usageStatus
// after a usage line on standard error).
int ParseFileArguments(int argc, char** argv, const char* program, const char* usage,
                       const char* help, int usageStatus, std::vector<std::string>* files);
