#include "platform/message_queue.h"

#include <windows.h>

#include <memory>
#include <utility>

namespace platform {

namespace {

constexpr UINT kRunHandlerMessage = WM_APP + 1;
constexpr char kWindowClass[] = "TamrekHandlerWindow";

LRESULT CALLBACK HandlerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kRunHandlerMessage) return DefWindowProcA(window, message, wParam, lParam);
  std::unique_ptr<std::function<void()>> handler(reinterpret_cast<std::function<void()>*>(lParam));
  (*handler)();
  return 0;
}

// The module this code lives in, which owns the window class.
HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&HandlerWindowProc), &module);
  return module;
}

// A message-only window per thread receives the handler messages, so they
// travel through the thread's real queue and are dispatched like any other.
class HandlerWindow {
 public:
  HandlerWindow() {
    static const ATOM windowClass = [] {
      WNDCLASSA description{};
      description.lpfnWndProc = HandlerWindowProc;
      description.hInstance = ThisModule();
      description.lpszClassName = kWindowClass;
      return RegisterClassA(&description);
    }();
    (void)windowClass;
    window_ = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              ThisModule(), nullptr);
  }
  ~HandlerWindow() { DestroyWindow(window_); }
  HandlerWindow(const HandlerWindow&) = delete;
  HandlerWindow& operator=(const HandlerWindow&) = delete;

  HWND Handle() const { return window_; }

 private:
  HWND window_;
};

bool QuitAtHead() {
  MSG message;
  return PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message == WM_QUIT;
}

}  // namespace

void PumpWaitingMessages(const std::function<bool()>& mayGoOn) {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT &&
         (!mayGoOn || mayGoOn())) {
    // Take exactly the message that was seen at the head.
    if (!PeekMessageA(&message, message.hwnd, message.message, message.message, PM_REMOVE)) break;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool HasWaitingMessages() { return HIWORD(GetQueueStatus(QS_ALLEVENTS)) != 0; }

void PostHandlerMessage(std::function<void()> handler) {
  thread_local HandlerWindow window;
  auto* posted = new std::function<void()>(std::move(handler));
  if (!PostMessageA(window.Handle(), kRunHandlerMessage, 0, reinterpret_cast<LPARAM>(posted))) {
    delete posted;
  }
}

void PostQuit() { PostQuitMessage(0); }

bool TakeQuitMessage() {
  if (!QuitAtHead()) return false;
  MSG message;
  PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  return true;
}

}  // namespace platform
