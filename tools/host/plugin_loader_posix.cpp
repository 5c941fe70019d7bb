#include <dlfcn.h>

#include "plugin_loader.h"

namespace {

using InfoFunction = const char* (*)();
using PlugMainFunction = const char* (*)(const char*, const char*, const char*, const char*,
                                         const char*);

}  // namespace

struct PluginFile::Impl {
  void* handle = nullptr;
  InfoFunction info = nullptr;
  PlugMainFunction plugMain = nullptr;
};

std::unique_ptr<PluginFile> PluginFile::Load(const std::string& path, std::string& error) {
  // A name without a slash would be searched for on the library path instead.
  const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    error = "cannot load plug-in " + path + ": " + dlerror();
    return nullptr;
  }
  auto impl = std::make_unique<Impl>();
  impl->handle = handle;
  impl->info = reinterpret_cast<InfoFunction>(dlsym(handle, "info"));
  impl->plugMain = reinterpret_cast<PlugMainFunction>(dlsym(handle, "plugmain"));
  if (impl->info == nullptr || impl->plugMain == nullptr) {
    error = "plug-in " + path + " does not export " + (impl->info == nullptr ? "info" : "plugmain");
    dlclose(handle);
    return nullptr;
  }
  return std::unique_ptr<PluginFile>(new PluginFile(std::move(impl)));
}

PluginFile::PluginFile(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

PluginFile::~PluginFile() { dlclose(impl_->handle); }

const char* PluginFile::Info() const { return impl_->info(); }

const char* PluginFile::PlugMain(const char* a1, const char* a2, const char* a3, const char* a4,
                                 const char* a5) const {
  return impl_->plugMain(a1, a2, a3, a4, a5);
}
