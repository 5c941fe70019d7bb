#include <windows.h>

#include "plugin_loader.h"

namespace {

using InfoFunction = const char*(__stdcall*)();
using PlugMainFunction = const char*(__stdcall*)(const char*, const char*, const char*, const char*,
                                                 const char*);

// The system's description of the last error, in UTF-8 for the terminal.
std::string LastErrorText() {
  const DWORD code = GetLastError();
  wchar_t wide[512] = L"";
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, wide,
                 sizeof wide / sizeof wide[0], nullptr);
  char utf8[1024] = "";
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
  std::string text = utf8;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return "error " + std::to_string(code) + (text.empty() ? "" : " " + text);
}

}  // namespace

struct PluginFile::Impl {
  HMODULE module = nullptr;
  InfoFunction info = nullptr;
  PlugMainFunction plugMain = nullptr;
};

std::unique_ptr<PluginFile> PluginFile::Load(const std::string& path, std::string& error) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) {
    error = "cannot load plug-in " + path + ": " + LastErrorText();
    return nullptr;
  }
  auto impl = std::make_unique<Impl>();
  impl->module = module;
  impl->info =
      reinterpret_cast<InfoFunction>(reinterpret_cast<void (*)()>(GetProcAddress(module, "info")));
  impl->plugMain = reinterpret_cast<PlugMainFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(module, "plugmain")));
  if (impl->info == nullptr || impl->plugMain == nullptr) {
    error = "plug-in " + path + " does not export " + (impl->info == nullptr ? "info" : "plugmain");
    FreeLibrary(module);
    return nullptr;
  }
  return std::unique_ptr<PluginFile>(new PluginFile(std::move(impl)));
}

PluginFile::PluginFile(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

PluginFile::~PluginFile() { FreeLibrary(impl_->module); }

const char* PluginFile::Info() const { return impl_->info(); }

const char* PluginFile::PlugMain(const char* a1, const char* a2, const char* a3, const char* a4,
                                 const char* a5) const {
  return impl_->plugMain(a1, a2, a3, a4, a5);
}
