// Menus: menu bars, popups and items whose item data holds their callback.
#include "toolkit/toolkit.h"
