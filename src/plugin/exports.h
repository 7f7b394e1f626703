/* The boundary that the Vornix host sees: the QnD_ functions of libzavor.so.
 *
 * Every text is a zero-terminated string in the host's ANSI code page
 * (Windows-1252 on German Windows). The host passes no buffer sizes: an
 * "out" buffer must have room for the whole answer. Every result is a signed 32-bit integer.
 * No text that the plug-in writes holds a zero byte or another control
 * character below 32 except tab, CR and LF: those become blanks.
 * This header is plain C so that a C host (and a C test) can include it. */
#ifndef ZAVOR_PLUGIN_EXPORTS_H
#define ZAVOR_PLUGIN_EXPORTS_H

#include <stdint.h>

/* The calling convention of the exports and of the host callback. Vornix
 * calls and is called back with __stdcall (the callee pops the arguments):
 * a function declared otherwise on either side leaves the stack off by the
 * arguments' size after every call. Only 32-bit x86 has more than one
 * convention, so elsewhere this is empty. */
#if defined(_WIN32) && !defined(_WIN64)
#define ZAVOR_CALL __stdcall
#else
#define ZAVOR_CALL
#endif

#if defined(_WIN32)
#define ZAVOR_API(result) __declspec(dllexport) result ZAVOR_CALL
#else
#define ZAVOR_API(result) __attribute__((visibility("default"))) result ZAVOR_CALL
#endif

/* QnD_GetVar never writes more than this many bytes to Result, the
 * terminating zero included: a page's extracted text has no natural bound,
 * so a longer value is cut to ZAVOR_GETVAR_RESULT_SIZE - 1 bytes. A host
 * must pass a Result buffer of at least this size. */
#define ZAVOR_GETVAR_RESULT_SIZE 1048576

#ifdef __cplusplus
extern "C" {
#endif

/* The host's callback, whose address QnD_Initialize2 receives: service name
 * ("Interrupt", "Subst"), parameter, parameter length (-1: up to the zero),
 * flags, answer buffer. */
typedef int32_t(ZAVOR_CALL *ZavorCallbackFunction)(const char *FuncName, const char *Para, int32_t ParaLen,
                                                   int32_t Flags, char *ReturnString);

/* The host hands over its callback's address. It arrives pointer-sized:
 * a 32-bit integer cannot hold an address on a 64-bit build. */
ZAVOR_API(int32_t) QnD_Initialize2(intptr_t CallBackAdr);
ZAVOR_API(int32_t) QnD_CmdNumber(void);
ZAVOR_API(int32_t) QnD_Version(void);
ZAVOR_API(int32_t) QnD_ComParas(char *Keyword, char *Comment, char *DefPara);
ZAVOR_API(int32_t) QnD_GetHelpFile(char *HelpFile);
ZAVOR_API(int32_t) QnD_GetRessource(const char *Paras, char *ResStr);
ZAVOR_API(int32_t) QnD_RunInit(void);
ZAVOR_API(int32_t) QnD_SetWindow(intptr_t hWnd, int32_t hDC);
ZAVOR_API(int32_t) QnD_Stop(void);
ZAVOR_API(int32_t) QnD_Edit(const char *InParas_t, char *OutParas);
ZAVOR_API(int32_t) QnD_Execute(const char *Paras_tmp);
ZAVOR_API(int32_t) QnD_SetVar(const char *VarName, const char *Value);
ZAVOR_API(int32_t) QnD_GetVar(const char *Text, const char *Paras, int32_t NoUI, char *Result);
ZAVOR_API(int32_t) QnD_VarCategory(char *VarCat);
ZAVOR_API(int32_t) QnD_ExtraVarName(int32_t Index, char *VarName, char *Descr);
ZAVOR_API(int32_t) QnD_ExtraEventName(int32_t Index, char *EventName, char *Descr, char *Paras);
ZAVOR_API(int32_t) QnD_GetShowLine(const char *Paras, char *MainParas, char *SubParas, int32_t ShowDetails);

#ifdef __cplusplus
}
#endif

#endif
