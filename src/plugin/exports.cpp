#include "plugin/exports.h"

#include "game/message_handler.h"
#include "plugin/module_state.h"
#include "plugin/plugin_info.h"

namespace {

// Kept out of line so that each export stays a thin frame whose epilogue
// removes its own arguments.
[[gnu::noinline]] const char* AnswerMessage(const char* messageBytes) {
  // The module never keeps a pointer the host passed in: the message is copied.
  Text message(messageBytes);
  ModuleState& state = KeptState();
  Text reply = HandleMessage(message, state.riddle);
  state.lastReply = std::move(reply);
  return state.lastReply.CStr();
}

[[gnu::noinline]] const char* RenewInfo() {
  ModuleState& state = KeptState();
  state.lastInfoText = BuildPluginInfo();
  return state.lastInfoText.CStr();
}

}  // namespace

const char* TAMREK_STDCALL info() { return RenewInfo(); }

const char* TAMREK_STDCALL plugmain(const char* a1, const char*, const char*, const char*,
                                    const char*) {
  return AnswerMessage(a1);
}
