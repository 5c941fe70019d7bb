// What a program (not a test) needs to play against the bundled site: the site
// served on its port and a plug-in file loaded.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "game/local_site.h"
#include "plugin_loader.h"

// The plug-in file at `path`, once `site` is known to be served; null, with
// the reason on the standard error, when either fails.
inline std::unique_ptr<PluginFile> LoadPluginAgainst(const LocalSite& site, const char* path) {
  if (!site.Serving()) {
    std::fprintf(stderr, "cannot serve the riddle site on port %s\n", TAMREK_LOCAL_SITE_PORT);
    return nullptr;
  }
  std::string error;
  std::unique_ptr<PluginFile> plugin = PluginFile::Load(path, error);
  if (plugin == nullptr) std::fprintf(stderr, "%s\n", error.c_str());
  return plugin;
}
