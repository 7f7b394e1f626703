// The QnD_ functions. Each body runs inside GuardExport, so that no failure
// crosses into the host as anything but a result, a message box or an event.
#include "plugin/exports.h"

#include "editor/einst_class.h"
#include "platform/host_window.h"
#include "platform/message_box.h"
#include "plugin/ansi_text.h"
#include "plugin/command_execution.h"
#include "plugin/export_guard.h"
#include "plugin/export_state.h"
#include "plugin/host_callback.h"
#include "plugin/script_line_text.h"
#include "plugin/settings_record.h"
#include "plugin/variable_catalogue.h"
#include "plugin/variable_commands.h"
#include "session/pdf.h"

namespace {

using namespace ZavorPlugin;

// The host protocol wants a fixed non-zero answer to its handshake.
constexpr int32_t kInitializeHandshake = 1;

// How often QnD_Stop has run: a command sees whether the host stopped the
// plug-in while it was running.
std::uint64_t stopCount = 0;

}  // namespace

extern "C" {

ZAVOR_API(int32_t) QnD_Initialize2(intptr_t CallBackAdr) {
    return GuardExport(0, [&] {
        CallbackAddress = CallBackAdr;
        PDF::GetInstance();
        return kInitializeHandshake;
    });
}

ZAVOR_API(int32_t) QnD_CmdNumber(void) { return 98; }

ZAVOR_API(int32_t) QnD_Version(void) { return 100; }

ZAVOR_API(int32_t) QnD_ComParas(char *Keyword, char *Comment, char *DefPara) {
    return GuardExport(1, [&] {
        WriteAnsi(Keyword, u"ZQ-PDF");
        WriteAnsi(Comment, u"PDF-PlugIn");
        WriteAnsi(DefPara, u"0");
        return 1;
    });
}

ZAVOR_API(int32_t) QnD_GetHelpFile(char *HelpFile) {
    return GuardExport(0, [&] {
        WriteAnsi(HelpFile, u"");
        return 0;
    });
}

// The resource request has no meaning for this plug-in; ResStr stays as the
// host left it.
ZAVOR_API(int32_t) QnD_GetRessource(const char *, char *) { return 1; }

ZAVOR_API(int32_t) QnD_RunInit(void) { return 1; }

// The plug-in never draws into the host's window; its message boxes and the
// editor are owned by it.
ZAVOR_API(int32_t) QnD_SetWindow(intptr_t hWnd, int32_t) {
    ZavorPlatform::SetHostWindow(hWnd);
    return 1;
}

ZAVOR_API(int32_t) QnD_Stop(void) {
    return GuardExport(1, [] {
        ++stopCount;
        ZavorPlatform::SetHostWindow(0);
        valid = false;
        showwarning = true;
        PDF::Kill();
        return 1;
    });
}

ZAVOR_API(int32_t) QnD_Edit(const char *InParas_t, char *OutParas) {
    return GuardExport(1, [&] {
        // The editor has a user in front of a screen: boxes become dialogs.
        ZavorPlatform::InteractiveMessageBoxes interactive;
        WriteAnsi(OutParas, EinstClass::GetInstance().EditRecord(FromAnsi(InParas_t)));
        return 1;
    });
}

ZAVOR_API(int32_t) QnD_Execute(const char *Paras_tmp) {
    return GuardExport(1, [&] {
        std::uint64_t stopsBefore = stopCount;
        ExecutionOutcome outcome = ExecuteCommandRecord(FromAnsi(Paras_tmp));
        // A host that stopped the plug-in while the command ran (inside
        // "Subst") has ended the run.
        if (MakesValid(outcome) && stopCount == stopsBefore) valid = true;
        return 1;
    });
}

ZAVOR_API(int32_t) QnD_SetVar(const char *VarName, const char *Value) {
    return GuardExport(1, [&] {
        if (!valid) {
            if (showwarning) {
                ZavorPlatform::ShowMessageBox(u"PDF nicht initialisiert! Bitte zuerst den PDF Befehl nutzen",
                                              u"Das geht so nicht", ZavorPlatform::MessageBoxIcon::Error);
                showwarning = false;
            }
            return 0;
        }
        return SetVariable(FromAnsi(VarName), FromAnsi(Value));
    });
}

// NoUI has no meaning for this plug-in.
ZAVOR_API(int32_t) QnD_GetVar(const char *Text, const char *Paras, int32_t, char *Result) {
    return GuardExport(0, [&] {
        if (!valid) return 0;
        return ReadVariable(FromAnsi(Text), FromAnsi(Paras), Result);
    });
}

ZAVOR_API(int32_t) QnD_VarCategory(char *VarCat) {
    return GuardExport(1, [&] {
        WriteAnsi(VarCat, u"ZAVOR");
        return 1;
    });
}

ZAVOR_API(int32_t) QnD_ExtraVarName(int32_t Index, char *VarName, char *Descr) {
    return GuardExport(1, [&] {
        WriteVariableCatalogueEntry(Index, VarName, Descr);
        return 1;
    });
}

// Paras is never written: no event hands parameters to its handler.
ZAVOR_API(int32_t) QnD_ExtraEventName(int32_t Index, char *EventName, char *Descr, char *) {
    return GuardExport(1, [&] {
        WriteEventCatalogueEntry(Index, EventName, Descr);
        return 1;
    });
}

// ShowDetails has no meaning for this plug-in.
ZAVOR_API(int32_t) QnD_GetShowLine(const char *Paras, char *MainParas, char *SubParas, int32_t) {
    return GuardExport(1, [&] {
        WriteShowLine(FromAnsi(Paras), MainParas, SubParas);
        return 1;
    });
}

}  // extern "C"
