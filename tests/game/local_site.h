// The bundled riddle site, served by the HTTP fixture server on the loopback
// port that the local-site and short-time-out plug-in files were built for.
// Needs TAMREK_LOCAL_SITE_PORT and TAMREK_SITE_FOLDER from the build.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include "web/fixture_server.h"
#include "web/web_request.h"

// A file of the generated site, by its path inside the site's folder.
inline std::string ReadSiteFile(const std::string& path) {
  std::ifstream file(std::string(TAMREK_SITE_FOLDER) + "/" + path, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

class LocalSite {
 public:
  LocalSite() : server_({"--port", TAMREK_LOCAL_SITE_PORT, "--site", TAMREK_SITE_FOLDER}) {}

  // False when the port was taken and nothing serves the site.
  bool Serving() const { return server_.Port() == std::stoi(TAMREK_LOCAL_SITE_PORT); }

  std::string Url(const std::string& path) const { return server_.Url(path); }

  // Tells the site what to serve as riddle pages from now on: a scenario path
  // of the fixture server, with the page it is to serve when one is given.
  void Scenario(const std::string& path, const std::string& page = "") const {
    Text url(Url(path));
    if (page.empty()) {
      WebRequest(url);
    } else {
      WebRequest(url, kMethodPost, std::nullopt, std::nullopt, Bytes(page));
    }
  }

 private:
  FixtureServer server_;
};
