// Process-wide flags of the export layer, shared by the QnD_ functions.
#pragma once

namespace ZavorPlugin {

// A plug-in command has run since loading or since the last QnD_Stop;
// QnD_SetVar and QnD_GetVar refuse to work while it is false.
extern bool valid;

// QnD_SetVar still has to show its not-initialised message this run.
extern bool showwarning;

}  // namespace ZavorPlugin
