// The HTTP sender exported by Trevasol.dll under its plain, undecorated name.
#pragma once
#include <cstdint>

#ifdef TREVASOL_BUILD
#define TREVASOL_API extern "C" __declspec(dllexport)
#else
#define TREVASOL_API extern "C" __declspec(dllimport)
#endif

// Mode 1: GET the URL. Mode 0: POST the body as a form. The reply is written
// zero-terminated into `reply`, at most `length` bytes with the zero; on any
// failure `reply` is left empty. Returns a short static status text.
TREVASOL_API const char* __stdcall saljihttp(const char* url, const char* body, char* reply,
                                             int32_t length, int32_t mode);
