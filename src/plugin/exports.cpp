// Placeholder bodies until the host interface is filled in.
#include "plugin/exports.h"

#include <cstring>

namespace {
void WriteText(char *buffer, const char *text) {
    if (buffer != nullptr) std::memcpy(buffer, text, std::strlen(text) + 1);
}
}  // namespace

extern "C" {
ZAVOR_API(int32_t) QnD_Initialize2(intptr_t) { return 1; }
ZAVOR_API(int32_t) QnD_CmdNumber(void) { return 98; }
ZAVOR_API(int32_t) QnD_Version(void) { return 100; }
ZAVOR_API(int32_t) QnD_ComParas(char *Keyword, char *Comment, char *DefPara) {
    WriteText(Keyword, "ZQ-PDF");
    WriteText(Comment, "PDF-PlugIn");
    WriteText(DefPara, "0");
    return 1;
}
ZAVOR_API(int32_t) QnD_GetHelpFile(char *HelpFile) {
    WriteText(HelpFile, "");
    return 0;
}
ZAVOR_API(int32_t) QnD_GetRessource(const char *, char *) { return 1; }
ZAVOR_API(int32_t) QnD_RunInit(void) { return 1; }
ZAVOR_API(int32_t) QnD_SetWindow(intptr_t, int32_t) { return 1; }
ZAVOR_API(int32_t) QnD_Stop(void) { return 1; }
ZAVOR_API(int32_t) QnD_Edit(const char *, char *) { return 1; }
ZAVOR_API(int32_t) QnD_Execute(const char *) { return 1; }
ZAVOR_API(int32_t) QnD_SetVar(const char *, const char *) { return 0; }
ZAVOR_API(int32_t) QnD_GetVar(const char *, const char *, int32_t, char *) { return 0; }
ZAVOR_API(int32_t) QnD_VarCategory(char *VarCat) {
    WriteText(VarCat, "ZAVOR");
    return 1;
}
ZAVOR_API(int32_t) QnD_ExtraVarName(int32_t, char *, char *) { return 1; }
ZAVOR_API(int32_t) QnD_ExtraEventName(int32_t, char *, char *, char *) { return 1; }
ZAVOR_API(int32_t) QnD_GetShowLine(const char *, char *, char *, int32_t) { return 1; }
}
