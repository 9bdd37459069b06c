// Tells whether a folder on the disc holds an entry of a given name.
#pragma once

#include <string>

// True when the folder (an absolute path without a trailing backslash) holds
// a file or subfolder whose long name equals the name, compared without
// regard to case; "." and ".." count too, wildcards in the name do not.
bool FolderContains(std::string name, std::string folder);
