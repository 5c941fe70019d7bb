// The two functions the host calls. Both use the Windows API calling
// convention; all texts are NUL-terminated code page 936.
#pragma once

#if defined(_WIN32)
#define TAMREK_EXPORT
#define TAMREK_STDCALL __stdcall
#else
#define TAMREK_EXPORT __attribute__((visibility("default")))
#define TAMREK_STDCALL
#endif

extern "C" {

// The plug-in information text, valid until the next `info` call or unload.
TAMREK_EXPORT const char* TAMREK_STDCALL info();

// Answers the chat message `a1`; `a2` to `a5` have no effect. Null pointers
// read as the empty text. The reply stays valid until the next `plugmain`
// call or unload.
TAMREK_EXPORT const char* TAMREK_STDCALL plugmain(const char* a1, const char* a2, const char* a3,
                                                  const char* a4, const char* a5);
}
