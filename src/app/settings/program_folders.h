#pragma once

#include <QString>

// The folder where an installation keeps the data the program ships (its dictionaries, the
// English one directly in it and each further language in a subfolder named by its code). It is
// found from the program's own folder, so an installation moved to another prefix still finds
// it. Empty before the application object exists.
QString installedDataFolder();
