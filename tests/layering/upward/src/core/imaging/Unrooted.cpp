// An include written relative to its own folder: the check wants it rooted at src/.
#include "Exporter.h"
