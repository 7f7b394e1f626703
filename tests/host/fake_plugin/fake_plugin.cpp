// A stand-in for libzavor.so in the host's tests.
//
// Every call is appended to the file named by FAKE_PLUGIN_LOG, one line each
// ("Execute <hex>", "SetVar <name>=<value>", "GetVar <name>(<args>)", ...),
// texts byte for byte as received. Variables set are echoed by GetVar.
// Special variables:
//   SET Subst = text   asks the host to substitute text; GET reads the answer
//                      from "Subst" and its shape from "SubstCheck"
//   SET Raise = name   raises the event name through "Interrupt"
//   SET Box = text     prints text to standard error, as a message box would
//   GET Args(x)        answers the argument text
//   GET Zero           writes "junk" but returns 0
// A record whose text holds <Typ>3</Typ> raises "ZAVOR_DateiFehler".
// FAKE_PLUGIN_ENDLESS=1 makes both catalogues never end; FAKE_PLUGIN_REFUSE=1
// makes QnD_Initialize2 answer 0.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "plugin/exports.h"

namespace {

using Callback = ZavorCallbackFunction;
Callback callback = nullptr;
std::map<std::string, std::string> variables;

void Log(const std::string &line) {
    const char *path = std::getenv("FAKE_PLUGIN_LOG");
    if (path == nullptr) return;
    if (std::FILE *file = std::fopen(path, "ab")) {
        std::fwrite(line.data(), 1, line.size(), file);
        std::fputc('\n', file);
        std::fclose(file);
    }
}

void Write(char *buffer, const std::string &text) { std::memcpy(buffer, text.c_str(), text.size() + 1); }

std::string Decode(const std::string &hex) {
    std::string text;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        text += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return text;
}

void Raise(const std::string &event) {
    static char empty[1] = "";
    if (callback != nullptr) callback("Interrupt", event.c_str(), -1, 0, empty);
}

void Subst(const std::string &text) {
    // The plug-in's buffer: 100000 bytes preset to "X", no zero of its own.
    std::string buffer(100000, 'X');
    int32_t length = callback("Subst", text.c_str(), -1, 0, buffer.data());
    std::size_t zero = buffer.find('\0');
    variables["Subst"] = buffer.substr(0, zero == std::string::npos ? 0 : zero);
    variables["SubstCheck"] = "n=" + std::to_string(length) +
                              " zero=" + (zero == std::string::npos ? std::string("none") : std::to_string(zero));
}

bool Switched(const char *name) {
    const char *value = std::getenv(name);
    return value != nullptr && std::strcmp(value, "1") == 0;
}

}  // namespace

extern "C" {
ZAVOR_API(int32_t) QnD_Initialize2(intptr_t CallBackAdr) {
    callback = reinterpret_cast<Callback>(CallBackAdr);
    Log("Initialize2");
    return Switched("FAKE_PLUGIN_REFUSE") ? 0 : 4711;
}
ZAVOR_API(int32_t) QnD_CmdNumber(void) { return 98; }
ZAVOR_API(int32_t) QnD_Version(void) { return 100; }
ZAVOR_API(int32_t) QnD_ComParas(char *Keyword, char *Comment, char *DefPara) {
    Write(Keyword, "ZQ-FAKE");
    Write(Comment, "Fake");
    Write(DefPara, "0");
    return 1;
}
ZAVOR_API(int32_t) QnD_GetHelpFile(char *HelpFile) {
    Write(HelpFile, "");
    return 0;
}
ZAVOR_API(int32_t) QnD_GetRessource(const char *, char *) { return 1; }
ZAVOR_API(int32_t) QnD_RunInit(void) {
    Log("RunInit");
    return 1;
}
ZAVOR_API(int32_t) QnD_SetWindow(intptr_t, int32_t) { return 1; }
ZAVOR_API(int32_t) QnD_Stop(void) {
    Log("Stop");
    variables.clear();
    return 1;
}
ZAVOR_API(int32_t) QnD_Edit(const char *, char *) { return 1; }
ZAVOR_API(int32_t) QnD_Execute(const char *Paras_tmp) {
    std::string hex = Paras_tmp;
    Log("Execute " + hex);
    if (Decode(hex).find("<Typ>3</Typ>") != std::string::npos) Raise("ZAVOR_DateiFehler");
    return 1;
}
ZAVOR_API(int32_t) QnD_SetVar(const char *VarName, const char *Value) {
    std::string name = VarName, value = Value;
    Log("SetVar " + name + "=" + value);
    if (name == "Subst") {
        Subst(value);
    } else if (name == "Raise") {
        Raise(value);
    } else if (name == "Box") {
        std::fprintf(stderr, "%s\n", Value);
    } else {
        variables[name] = value;
    }
    return 1;
}
ZAVOR_API(int32_t) QnD_GetVar(const char *Text, const char *Paras, int32_t, char *Result) {
    std::string name = Text, arguments = Paras;
    Log("GetVar " + name + "(" + arguments + ")");
    if (name == "Args") {
        Write(Result, arguments);
        return static_cast<int32_t>(arguments.size());
    }
    if (name == "Zero") {
        Write(Result, "junk");
        return 0;
    }
    auto found = variables.find(name);
    if (found == variables.end()) return 0;
    Write(Result, found->second);
    return static_cast<int32_t>(found->second.size());
}
ZAVOR_API(int32_t) QnD_VarCategory(char *VarCat) {
    Write(VarCat, "FAKE");
    return 1;
}
ZAVOR_API(int32_t) QnD_ExtraVarName(int32_t Index, char *VarName, char *Descr) {
    static const char *const names[][2] = {{"S:Eins", "Erste Variable"}, {"L:Zwei", "Zweite f\xfcr Gr\xf6\xdf"}};
    if (Index >= 0 && Index < 2) {
        Write(VarName, names[Index][0]);
        Write(Descr, names[Index][1]);
    } else if (Switched("FAKE_PLUGIN_ENDLESS")) {
        Write(VarName, "S:Immer");
    }
    return 1;
}
ZAVOR_API(int32_t) QnD_ExtraEventName(int32_t Index, char *EventName, char *Descr, char *Paras) {
    static const char *const names[][2] = {{"ZAVOR_Fehler", "Interner Fehler"},
                                           {"ZAVOR_DateiFehler", "PDFDatei konnte nicht erstellt werden"}};
    if (Index >= 0 && Index < 2) {
        Write(EventName, names[Index][0]);
        Write(Descr, names[Index][1]);
        if (Index == 1) Write(Paras, "Pfad");
    } else if (Switched("FAKE_PLUGIN_ENDLESS")) {
        Write(EventName, "Immer");
    }
    return 1;
}
ZAVOR_API(int32_t) QnD_GetShowLine(const char *Paras, char *MainParas, char *SubParas, int32_t) {
    std::string hex = Paras;
    if (hex.empty()) {
        Write(MainParas, "Leer");
        return 1;
    }
    std::string text = Decode(hex);
    std::size_t typ = text.find("<Typ>");
    Write(MainParas, "Typ " + (typ == std::string::npos ? std::string("?") : text.substr(typ + 5, 1)));
    if (text.find("<Quer>true</Quer>") != std::string::npos) Write(SubParas, "Gr\xfc\xdf quer");
    return 1;
}
}
