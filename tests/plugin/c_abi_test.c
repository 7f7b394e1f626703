/* The exports as a C host sees them. Every export is assigned to a pointer
 * whose type is spelled out here, so a changed declaration fails to compile,
 * and the program links against libzavor.so, so a missing export fails to
 * link. It then checks the answers a host relies on at start. */
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "plugin/exports.h"

static int failures = 0;

static void Check(int condition, const char *what) {
    if (!condition) {
        fprintf(stderr, "failed: %s\n", what);
        ++failures;
    }
}

int main(void) {
    int32_t (*initialize2)(intptr_t) = QnD_Initialize2;
    int32_t (*cmdNumber)(void) = QnD_CmdNumber;
    int32_t (*version)(void) = QnD_Version;
    int32_t (*comParas)(char *, char *, char *) = QnD_ComParas;
    int32_t (*getHelpFile)(char *) = QnD_GetHelpFile;
    int32_t (*getRessource)(const char *, char *) = QnD_GetRessource;
    int32_t (*runInit)(void) = QnD_RunInit;
    int32_t (*setWindow)(intptr_t, int32_t) = QnD_SetWindow;
    int32_t (*stop)(void) = QnD_Stop;
    int32_t (*edit)(const char *, char *) = QnD_Edit;
    int32_t (*execute)(const char *) = QnD_Execute;
    int32_t (*setVar)(const char *, const char *) = QnD_SetVar;
    int32_t (*getVar)(const char *, const char *, int32_t, char *) = QnD_GetVar;
    int32_t (*varCategory)(char *) = QnD_VarCategory;
    int32_t (*extraVarName)(int32_t, char *, char *) = QnD_ExtraVarName;
    int32_t (*extraEventName)(int32_t, char *, char *, char *) = QnD_ExtraEventName;
    int32_t (*getShowLine)(const char *, char *, char *, int32_t) = QnD_GetShowLine;

    char keyword[32], comment[32], defPara[32], help[32], result[32];
    memset(keyword, '#', sizeof keyword);
    memset(comment, '#', sizeof comment);
    memset(defPara, '#', sizeof defPara);
    memset(help, '#', sizeof help);
    memset(result, '#', sizeof result);

    Check(cmdNumber() == 98, "QnD_CmdNumber is 98");
    Check(version() == 100, "QnD_Version is 100");
    Check(comParas(keyword, comment, defPara) == 1, "QnD_ComParas returns 1");
    Check(memcmp(keyword, "ZQ-PDF\0#", 8) == 0, "keyword ZQ-PDF");
    Check(memcmp(comment, "PDF-PlugIn\0#", 12) == 0, "comment PDF-PlugIn");
    Check(memcmp(defPara, "0\0#", 3) == 0, "default parameter 0");
    Check(getHelpFile(help) == 0 && help[0] == '\0' && help[1] == '#', "QnD_GetHelpFile writes one zero, returns 0");
    Check(setVar("Schriftart", "Arial") == 0, "QnD_SetVar refused before the first execute");
    Check(getVar("Fehler", "", 0, result) == 0 && result[0] == '#', "QnD_GetVar writes nothing before execute");

    /* The rest only has to be callable. */
    Check(initialize2(0) != 0, "QnD_Initialize2 answers the handshake");
    Check(getRessource("", result) == 1 && result[0] == '#', "QnD_GetRessource leaves its buffer alone");
    Check(runInit() == 1, "QnD_RunInit");
    Check(setWindow(0, 0) == 1, "QnD_SetWindow");
    Check(varCategory(result) == 1 && memcmp(result, "ZAVOR\0#", 7) == 0, "QnD_VarCategory writes ZAVOR");
    (void)edit;
    (void)execute;
    (void)extraVarName;
    (void)extraEventName;
    (void)getShowLine;
    Check(stop() == 1, "QnD_Stop");
    return failures == 0 ? 0 : 1;
}
