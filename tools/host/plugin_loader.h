// Loads a plug-in file the way the chat-robot host does and calls its two
// exports. Used by tamrek-host and by the tests that drive the built file.
#pragma once

#include <memory>
#include <string>

class PluginFile {
 public:
  // Loads the file at `path` and binds `info` and `plugmain`. On failure
  // returns null and says why in `error`; the file is not left loaded.
  static std::unique_ptr<PluginFile> Load(const std::string& path, std::string& error);

  // Unloads the file: every text it returned becomes invalid.
  ~PluginFile();
  PluginFile(const PluginFile&) = delete;
  PluginFile& operator=(const PluginFile&) = delete;

  const char* Info() const;
  const char* PlugMain(const char* a1, const char* a2 = nullptr, const char* a3 = nullptr,
                       const char* a4 = nullptr, const char* a5 = nullptr) const;

 private:
  struct Impl;
  explicit PluginFile(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};
