/* A Windows host as Vornix is one: it loads zavor.dll at run time, finds the
 * exports by their undecorated names and hands over a __stdcall callback. It
 * declares everything itself, as a host that never saw our header would.
 *
 * windows_host_test OUTPUT.pdf: runs the start-up queries, starts a document
 * with an A4 page, writes a Windows-1252 text with umlauts and a euro sign,
 * provokes an event and saves the page to OUTPUT.pdf through a host variable
 * that the callback substitutes. The caller checks the file. */
#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <string.h>

typedef int32_t(__stdcall *Callback)(const char *, const char *, int32_t, int32_t, char *);
typedef int32_t(__stdcall *NoArguments)(void);
typedef int32_t(__stdcall *Initialize2)(intptr_t);
typedef int32_t(__stdcall *ComParas)(char *, char *, char *);
typedef int32_t(__stdcall *OneText)(char *);
typedef int32_t(__stdcall *SetWindow)(intptr_t, int32_t);
typedef int32_t(__stdcall *Execute)(const char *);
typedef int32_t(__stdcall *SetVar)(const char *, const char *);
typedef int32_t(__stdcall *GetVar)(const char *, const char *, int32_t, char *);
typedef int32_t(__stdcall *CatalogueEntry)(int32_t, char *, char *);
typedef int32_t(__stdcall *EventEntry)(int32_t, char *, char *, char *);

static const char *const kExports[] = {
    "QnD_Initialize2", "QnD_CmdNumber", "QnD_Version",   "QnD_ComParas",     "QnD_GetHelpFile",
    "QnD_GetRessource", "QnD_RunInit",  "QnD_SetWindow", "QnD_Stop",         "QnD_Edit",
    "QnD_Execute",     "QnD_SetVar",    "QnD_GetVar",    "QnD_VarCategory",  "QnD_ExtraVarName",
    "QnD_ExtraEventName", "QnD_GetShowLine"};

/* Windows-1252: "Grüße aus Köln: 5 € für Äpfel". */
static const char kText[] = "Gr\xFC\xDF" "e aus K\xF6ln: 5 \x80 f\xFCr \xC4pfel";

static int failures = 0;
static const char *outputPath = "";
static int interrupts = 0;
static char lastEvent[64];
static int substitutions = 0;

static void Check(int condition, const char *what) {
    if (!condition) {
        fprintf(stderr, "failed: %s\n", what);
        ++failures;
    }
}

/* "Subst" replaces the host variable [ausgabe]; "Interrupt" is counted. */
static int32_t __stdcall HostCallback(const char *FuncName, const char *Para, int32_t ParaLen, int32_t Flags,
                                      char *ReturnString) {
    Check(ParaLen == -1 && Flags == 0, "the callback's length -1 and flags 0");
    if (strcmp(FuncName, "Subst") == 0) {
        const char *text = strcmp(Para, "[ausgabe]") == 0 ? outputPath : Para;
        ++substitutions;
        strcpy(ReturnString, text);
        return (int32_t)strlen(text);
    }
    if (strcmp(FuncName, "Interrupt") == 0) {
        ++interrupts;
        snprintf(lastEvent, sizeof lastEvent, "%s", Para);
    }
    return 0;
}

static FARPROC Export(HMODULE plugin, const char *name) {
    FARPROC function = GetProcAddress(plugin, name);
    if (function == NULL) fprintf(stderr, "failed: zavor.dll lacks %s\n", name);
    return function;
}

/* FARPROC to the export's own type, through the one function type that
 * converts to every other without a warning. */
#define FUNCTION(type, name) ((type)(void (*)(void))Export(plugin, name))

/* QnD_Execute takes the record as two hex digits per byte. */
static int32_t Run(Execute execute, const char *fields) {
    static const char digits[] = "0123456789abcdef";
    char xml[1024], hex[2048];
    char *out = hex;
    snprintf(xml, sizeof xml, "<Settings>\r\n  <ver>100</ver>%s\r\n</Settings>", fields);
    for (const char *in = xml; *in != '\0'; ++in) {
        *out++ = digits[(unsigned char)*in >> 4];
        *out++ = digits[(unsigned char)*in & 15];
    }
    *out = '\0';
    return execute(hex);
}

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: windows_host_test OUTPUT.pdf\n");
        return 2;
    }
    outputPath = argv[1];
    HMODULE plugin = LoadLibraryA("zavor.dll");
    if (plugin == NULL) {
        fprintf(stderr, "failed: LoadLibraryA(zavor.dll), error %lu\n", GetLastError());
        return 1;
    }
    for (size_t i = 0; i < sizeof kExports / sizeof kExports[0]; ++i) {
        if (Export(plugin, kExports[i]) == NULL) ++failures;
    }
    Check(GetProcAddress(plugin, "_QnD_Version@0") == NULL, "no decorated export names");
    if (failures != 0) return 1;

    /* The start-up queries, in the order a host may send them. */
    char keyword[16], comment[16], defPara[16], name[256], descr[256], paras[256];
    Check(FUNCTION(ComParas, "QnD_ComParas")(keyword, comment, defPara) == 1, "QnD_ComParas");
    Check(strcmp(keyword, "ZQ-PDF") == 0 && strcmp(comment, "PDF-PlugIn") == 0 && strcmp(defPara, "0") == 0,
          "keyword, comment and default parameter");
    Check(FUNCTION(NoArguments, "QnD_CmdNumber")() == 98, "QnD_CmdNumber is 98");
    Check(FUNCTION(NoArguments, "QnD_Version")() == 100, "QnD_Version is 100");
    Check(FUNCTION(OneText, "QnD_GetHelpFile")(name) == 0 && name[0] == '\0', "QnD_GetHelpFile");
    Check(FUNCTION(OneText, "QnD_VarCategory")(name) == 1 && strcmp(name, "ZAVOR") == 0,
          "QnD_VarCategory");
    CatalogueEntry extraVarName = FUNCTION(CatalogueEntry, "QnD_ExtraVarName");
    Check(extraVarName(0, name, descr) == 1 && strcmp(name, "S:Info_Titel") == 0, "the first variable");
    EventEntry extraEventName = FUNCTION(EventEntry, "QnD_ExtraEventName");
    Check(extraEventName(2, name, descr, paras) == 1 && strcmp(name, "ZAVOR_ObjektFehler") == 0, "the third event");

    Callback callback = HostCallback;
    Check(FUNCTION(Initialize2, "QnD_Initialize2")((intptr_t)callback) != 0,
          "QnD_Initialize2 answers the handshake");
    Check(FUNCTION(NoArguments, "QnD_RunInit")() == 1, "QnD_RunInit");
    Check(FUNCTION(SetWindow, "QnD_SetWindow")(0, 0) == 1, "QnD_SetWindow");

    /* A document with one page and a text. */
    Execute execute = FUNCTION(Execute, "QnD_Execute");
    SetVar setVar = FUNCTION(SetVar, "QnD_SetVar");
    GetVar getVar = FUNCTION(GetVar, "QnD_GetVar");
    static char result[1048576];
    Check(Run(execute, "<Typ>0</Typ>") == 1, "a new document");
    Check(Run(execute, "<Typ>1</Typ><Format>A4</Format><Breite></Breite><Hoehe></Hoehe><Quer>false</Quer>") == 1,
          "an A4 page");
    Check(setVar("Schriftart", "Arial") == 1, "Schriftart");
    Check(setVar("Schriftgroesse", "20") == 1, "Schriftgroesse");
    Check(setVar("Zielbox_X", "72") == 1 && setVar("Zielbox_Y", "72") == 1, "the box's corner");
    Check(setVar("Zielbox_Breite", "450") == 1 && setVar("Zielbox_Hoehe", "100") == 1, "the box's size");
    Check(setVar("TextHinzufuegen", kText) == 1, "TextHinzufuegen");
    Check(interrupts == 0, "no event for the text");

    /* An event: a colour out of range. Its text arrives in Windows-1252. */
    Check(Run(execute, "<Typ>2</Typ><Alpha>255</Alpha><Rot>300</Rot><Gruen>0</Gruen><Blau>0</Blau>"
                       "<Fuellen>false</Fuellen>") == 1,
          "a colour record");
    Check(interrupts == 1 && strcmp(lastEvent, "ZAVOR_ObjektFehler") == 0, "one ZAVOR_ObjektFehler");
    int32_t length = getVar("Fehler", "", 0, result);
    Check(length == (int32_t)strlen(result) &&
              strcmp(result, "Die Farbe konnte wegen fehlerhafter Werte nicht erstellt werden. (0-255 !!!!!!!)") == 0,
          "Fehler reads the event's text");

    /* The save, through the host variable [ausgabe]. */
    substitutions = 0;
    Check(Run(execute, "<Typ>3</Typ><PDFDatei>[ausgabe]</PDFDatei><PDFstarten>false</PDFstarten>") == 1, "the save");
    Check(substitutions >= 1, "the file name passes through Subst");
    Check(interrupts == 1, "no event for the save");
    Check(getVar("AnzahlSeiten", "", 0, result) == 1 && strcmp(result, "1") == 0, "AnzahlSeiten is 1");
    Check(FUNCTION(NoArguments, "QnD_Stop")() == 1, "QnD_Stop");
    FreeLibrary(plugin);
    if (failures == 0) printf("windows_host_test: %s written\n", outputPath);
    return failures == 0 ? 0 : 1;
}
