// placeholder, being written
#include "core/Commands.h"
