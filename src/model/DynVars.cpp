#include "model/DynVars.h"
