#include "game/riddle_site.h"

Text RiddleSiteBaseAddress() { return "http://" TAMREK_RIDDLE_SITE_HOST "/jzw/"; }

std::optional<int> RiddleFetchTimeoutSeconds() {
#ifdef TAMREK_RIDDLE_FETCH_TIMEOUT
  return TAMREK_RIDDLE_FETCH_TIMEOUT;
#else
  return std::nullopt;
#endif
}
