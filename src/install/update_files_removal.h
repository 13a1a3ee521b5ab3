#pragma once

#include "install/update_directory.h"

#include <vector>

namespace upd::installation {

// Deletes what the package download put into the update directory: the manifest, the terms of
// use, the hardware list and the sub-directory of every entry with all its content; then the
// directory itself when nothing else is left in it. Anything else stays: offline, the directory
// is one the user typed, and may hold other files. Whatever cannot be deleted stays too.
void removeUpdateFiles(const UpdateDirectory& directory, const std::vector<UpdateEntry>& entries);

} // namespace upd::installation
