// A scripted host around the real plug-in: a callback that records every
// event together with the error text the script would read at that moment
// and answers "Subst" by replacing "[name]" markers, recorders for message
// boxes and file launches, and readers for what the session drew.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "pdf/pdf_content.h"
#include "pdf/pdf_contents.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "drawing/x_graphics.h"
#include "platform/code_page.h"
#include "platform/file_launcher.h"
#include "platform/message_box.h"
#include "plugin/exports.h"
#include "plugin/host_callback.h"
#include "plugin/settings_record.h"
#include "session/pdf.h"
#include "support/test_output.h"

namespace ZavorTest {

inline std::string PdfInfo(const std::filesystem::path &file) {
    return RunCommand("pdfinfo '" + file.string() + "' 2>&1");
}

// One "Interrupt": the event and the session's error text when it came.
struct RaisedEvent {
    std::string name;
    std::u16string fehlertext;
    bool operator==(const RaisedEvent &) const = default;
};

inline void PrintTo(const RaisedEvent &event, std::ostream *os) {
    *os << event.name << " / " << ZavorPlatform::Utf16ToUtf8(event.fehlertext);
}

struct ScriptHost {
    static inline std::vector<RaisedEvent> events;
    static inline std::vector<std::string> substituted;
    static inline std::map<std::string, std::string> variables;

    static std::int32_t Callback(const char *funcName, const char *para, std::int32_t, std::int32_t,
                                 char *returnString) {
        std::string service = funcName;
        if (service == "Interrupt") {
            std::u16string text = ZavorPlugin::PDF::HasInstance() ? ZavorPlugin::PDF::GetInstance().fehlertext : u"";
            events.push_back({para, text});
            return 0;
        }
        std::string text = para;
        substituted.push_back(text);
        for (const auto &[name, value] : variables) {
            std::string marker = "[" + name + "]";
            for (std::size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at))
                text.replace(at, marker.size(), value);
        }
        std::memcpy(returnString, text.c_str(), text.size() + 1);
        return static_cast<std::int32_t>(text.size());
    }
};

// Every test starts after "ZQ-PDF Typ=0" with a fresh session and ends with
// QnD_Stop, as a script run does.
class SessionTest : public testing::Test {
protected:
    void SetUp() override {
        QnD_Stop();
        ScriptHost::events.clear();
        ScriptHost::substituted.clear();
        ScriptHost::variables.clear();
        QnD_Initialize2(reinterpret_cast<intptr_t>(&ScriptHost::Callback));
        Execute("<Settings><ver>100</ver><Typ>0</Typ></Settings>");
    }
    void TearDown() override {
        QnD_Stop();
        ZavorPlugin::CallbackAddress = 0;
    }

    static ZavorPlugin::PDF &Session() { return ZavorPlugin::PDF::GetInstance(); }
    static const std::vector<RaisedEvent> &Events() { return ScriptHost::events; }

    static void Execute(const std::u16string &xml) {
        std::string record = ZavorPlatform::UnicodeToWindows1252(ZavorPlugin::StringToHex(xml));
        ASSERT_EQ(QnD_Execute(record.c_str()), 1);
    }
    static void Execute(const char *xml) { Execute(ZavorPlatform::Utf8ToUtf16(xml)); }
    static std::int32_t Set(const std::string &name, const std::string &value) {
        return QnD_SetVar(name.c_str(), value.c_str());
    }

    // Everything drawn on the page so far: the open context is closed first.
    static std::string Content(int pageIndex) {
        ZavorPlugin::PDF &session = Session();
        if (session.gfx) session.gfx->Dispose();
        ZavorPdf::Pdf::PdfContents &contents = session.document->Pages().PageAt(pageIndex).Contents();
        std::string text;
        for (int i = 0; i < contents.Count(); ++i) {
            const auto &bytes = contents.ContentAt(i).Bytes();
            text.append(bytes.begin(), bytes.end());
        }
        return text;
    }
    static bool Contains(const std::string &content, const std::string &part) {
        return content.find(part) != std::string::npos;
    }
    static std::size_t CountOf(const std::string &content, const std::string &part) {
        std::size_t count = 0;
        for (std::size_t at = content.find(part); at != std::string::npos; at = content.find(part, at + 1)) ++count;
        return count;
    }

    ZavorPlatform::MessageBoxRecorder boxes;
    ZavorPlatform::FileLaunchRecorder launches;
};

}  // namespace ZavorTest
