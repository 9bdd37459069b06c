// Tells whether a folder on the disc holds an entry of a given name.
#pragma once

#include <cstddef>
#include <string>

// True when the folder (an absolute path without a trailing backslash) holds
// a file or subfolder whose long name equals the name, compared without
// regard to case; "." and ".." count too, wildcards in the name do not.
bool FolderContains(std::string name, const std::string& folder);

// How many folder listings FolderContains has started in this process, so
// that a benchmark can count the disc reads of a refresh.
std::size_t FolderListingCount();
