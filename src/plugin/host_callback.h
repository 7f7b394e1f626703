// The one function the host hands over at start. Through it the plug-in
// raises its events in the running script ("Interrupt") and has the host
// replace script variables inside a text ("Subst").
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "plugin/exports.h"

namespace ZavorPlugin {

using HostCallback = ZavorCallbackFunction;

// The callback's address as QnD_Initialize2 received it (pointer-sized, so
// that it survives a 64-bit build); 0 until then. Kept across session resets.
extern std::intptr_t CallbackAddress;

// The size of the answer buffer handed to "Subst".
inline constexpr std::size_t kSubstBufferSize = 100000;

// Calls the host with the texts converted to ANSI. A null returnString gets
// a zeroed scratch buffer, so that a host writing an answer where none is
// expected writes into memory we own. Without a callback nothing is called
// and the result is 0.
std::int32_t ExecuteCallback(std::u16string_view funcName, std::u16string_view para, std::int32_t paraLen,
                             std::int32_t flags, char *returnString = nullptr);

// "Interrupt" with the event's name; the host's answer is not read.
void RaiseEvent(std::u16string_view eventName);

// The text with the host's script variables replaced ("Subst"). The host
// answers in a 100000-byte buffer preset to "X" and returns the length; the
// answer is the buffer's text up to its first zero (or its end), cut to that
// length. A length below 0 or beyond the buffer shows a fatal message box and
// ends the process with code 1. Without a callback the text comes back as it
// is: there is no host to know any variable.
std::u16string ResolveQNVar(std::u16string_view text);

}  // namespace ZavorPlugin
