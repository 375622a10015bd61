// Where an installed Orbivista keeps its star catalogues: a folder found
// from the running executable, so that an installed tree works wherever it
// is put (/usr, /usr/local, an unpacked package in a scratch folder).
#pragma once

#include <string>

namespace app {

// The data folder of the installed tree the running executable belongs to
// (<folder of the executable>/../share/orbivista for the usual layout);
// empty when the executable's own path cannot be read.
std::string installedDataFolder();

} // namespace app
