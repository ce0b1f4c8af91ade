// Dynamic variables and the undo history.
#pragma once

#include "model/AppState.h"
