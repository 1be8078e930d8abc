// Settings files for comparing the profile reader stand-in with a real reader: thousands of
// them, built systematically around every rule and then at random, with fixed seeds.
#pragma once

#include <string>
#include <vector>

namespace settings_files {

using Files = std::vector<std::string>;

// The files that hold the odd names the agreement test asks of them; they come first in
// generatedFiles().
Files oddNameFiles();
// Every file, oddNameFiles() first.
Files generatedFiles();

}  // namespace settings_files
