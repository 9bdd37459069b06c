// Probes for Adobe Premiere Pro's folder and for the version strings of a
// program file.
#pragma once

#include <string>

// Premiere's folder from its App Paths value, upper-cased and without a
// trailing backslash; false with an empty output when the value is missing
// or not a plain string.
bool FindPremiereFolder(std::string& folder);

// The text of one version string (such as "FileVersion") from the file's US
// English string table, Unicode one first, then Windows Latin 1; empty when
// the file, its version resource or the item is missing.
void ReadFileVersionItem(const std::string& path, std::string& text, const std::string& itemName);
