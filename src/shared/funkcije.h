// The shared module Funkcije: the process-wide request buffers, the request
// sender VX_HTTP and the reply splitter VX_EXPLODE, used by both programs.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "base/text.h"

namespace vx {

// Request buffers, one set per process, alive for the whole run.
extern char URL[255];           // at most 254 characters and the zero
extern char HREQUEST[64000];    // the body of a request to the script
extern char MESSA[1000000];     // the reply
extern int32_t POSTLENGTH;      // the length value handed to the sender

// Reply fields 1..35 of the last split (element 0 is unused).
struct ReplyFields {
    Text<255> f[36];
    Text<255>& operator[](int k) { return f[k]; }
    const Text<255>& operator[](int k) const { return f[k]; }
};
extern ReplyFields GLO_EXPLODE;

// Fill the buffers (cutting to their capacity).
void setURL(std::string_view s);
void setHREQUEST(std::string_view s);
// MESSA up to its first zero, without trailing spaces.
std::string reply();

// Send one request: PL is the length value (0 stands for 2048), PO the mode
// (1 fetch a file, 0 send the body to the script).
void VX_HTTP(int32_t PL, int32_t PO);

// Split STR at DEL (trailing spaces stripped; one character) into GLO_EXPLODE.
void VX_EXPLODE(std::string_view STR, std::string_view DEL);

// A whole request (fill, send, read, split) holds this lock where requests
// can run on two threads at once.
std::recursive_mutex& requestLock();

}  // namespace vx
