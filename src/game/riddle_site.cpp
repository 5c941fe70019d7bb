#include "game/riddle_site.h"

Text RiddleSiteBaseAddress() { return "http://" TAMREK_RIDDLE_SITE_HOST "/jzw/"; }
