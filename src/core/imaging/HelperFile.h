#pragma once
// Where the program's helpers are: the modules and small programs it loads or runs on
// demand. Each is looked for beside the program, in the library folder of an installed
// program (../lib/vorlix), then where the build put it.

#include <QString>

namespace vorlix {

// The first of those places that holds the file `name`, which the build made at `built`;
// empty when there is none.
QString findHelperFile(const QString& name, const QString& built);

} // namespace vorlix
