#include "setup/catalogue.h"

// Static storage: starts out all zero.
SetupCatalogue SetupInfo;
