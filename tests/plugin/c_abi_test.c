/* The exports as a C host sees them. Every export is assigned to a pointer
 * whose type is spelled out here, calling convention included, so a changed
 * declaration fails to compile, and the program links against the plug-in,
 * so a missing export fails to link. It then checks the answers a host
 * relies on at start, and that the callback is called back through the
 * convention it was declared with. */
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

static int interrupts = 0;
static char lastEvent[64];

/* Answers "Subst" with the text unchanged and counts "Interrupt". */
static int32_t ZAVOR_CALL HostCallback(const char *FuncName, const char *Para, int32_t ParaLen, int32_t Flags,
                                       char *ReturnString) {
    (void)ParaLen;
    (void)Flags;
    if (strcmp(FuncName, "Subst") == 0) {
        strcpy(ReturnString, Para);
        return (int32_t)strlen(Para);
    }
    if (strcmp(FuncName, "Interrupt") == 0) {
        ++interrupts;
        snprintf(lastEvent, sizeof lastEvent, "%s", Para);
    }
    return 0;
}

/* A settings record as QnD_Execute takes it: two hex digits per byte. */
static void HexRecord(const char *xml, char *hex) {
    static const char digits[] = "0123456789abcdef";
    for (; *xml != '\0'; ++xml) {
        *hex++ = digits[(unsigned char)*xml >> 4];
        *hex++ = digits[(unsigned char)*xml & 15];
    }
    *hex = '\0';
}

int main(void) {
    ZavorCallbackFunction callback = HostCallback;
    int32_t(ZAVOR_CALL *initialize2)(intptr_t) = QnD_Initialize2;
    int32_t(ZAVOR_CALL *cmdNumber)(void) = QnD_CmdNumber;
    int32_t(ZAVOR_CALL *version)(void) = QnD_Version;
    int32_t(ZAVOR_CALL *comParas)(char *, char *, char *) = QnD_ComParas;
    int32_t(ZAVOR_CALL *getHelpFile)(char *) = QnD_GetHelpFile;
    int32_t(ZAVOR_CALL *getRessource)(const char *, char *) = QnD_GetRessource;
    int32_t(ZAVOR_CALL *runInit)(void) = QnD_RunInit;
    int32_t(ZAVOR_CALL *setWindow)(intptr_t, int32_t) = QnD_SetWindow;
    int32_t(ZAVOR_CALL *stop)(void) = QnD_Stop;
    int32_t(ZAVOR_CALL *edit)(const char *, char *) = QnD_Edit;
    int32_t(ZAVOR_CALL *execute)(const char *) = QnD_Execute;
    int32_t(ZAVOR_CALL *setVar)(const char *, const char *) = QnD_SetVar;
    int32_t(ZAVOR_CALL *getVar)(const char *, const char *, int32_t, char *) = QnD_GetVar;
    int32_t(ZAVOR_CALL *varCategory)(char *) = QnD_VarCategory;
    int32_t(ZAVOR_CALL *extraVarName)(int32_t, char *, char *) = QnD_ExtraVarName;
    int32_t(ZAVOR_CALL *extraEventName)(int32_t, char *, char *, char *) = QnD_ExtraEventName;
    int32_t(ZAVOR_CALL *getShowLine)(const char *, char *, char *, int32_t) = QnD_GetShowLine;

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
    Check(initialize2((intptr_t)callback) != 0, "QnD_Initialize2 answers the handshake");
    Check(getRessource("", result) == 1 && result[0] == '#', "QnD_GetRessource leaves its buffer alone");
    Check(runInit() == 1, "QnD_RunInit");
    Check(setWindow(0, 0) == 1, "QnD_SetWindow");
    Check(varCategory(result) == 1 && memcmp(result, "ZAVOR\0#", 7) == 0, "QnD_VarCategory writes ZAVOR");

    /* A colour out of range raises an event through the callback; a callback
     * called with the wrong convention would leave the stack off here. */
    char record[512], message[256];
    HexRecord("<Settings><ver>100</ver><Typ>2</Typ><Alpha>255</Alpha><Rot>300</Rot><Gruen>0</Gruen>"
              "<Blau>0</Blau><Fuellen>false</Fuellen></Settings>",
              record);
    Check(execute(record) == 1, "QnD_Execute");
    Check(interrupts == 1 && strcmp(lastEvent, "ZAVOR_ObjektFehler") == 0, "one ZAVOR_ObjektFehler raised");
    Check(getVar("Fehler", "", 0, message) > 0 && strstr(message, "Die Farbe konnte") == message,
          "Fehler reads the event's text");
    (void)edit;
    (void)extraVarName;
    (void)extraEventName;
    (void)getShowLine;
    Check(stop() == 1, "QnD_Stop");
    return failures == 0 ? 0 : 1;
}
