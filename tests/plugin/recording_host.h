// A test host for the exports: it hands the plug-in a callback that records
// every raised event and answers "Subst" with the text unchanged, records
// message boxes, and starts a run with an empty new-document command so that
// variables are accepted.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "plugin/exports.h"
#include "plugin/host_callback.h"

namespace ZavorTest {

inline std::vector<std::string> &RecordedEvents() {
    static std::vector<std::string> events;
    return events;
}

inline std::int32_t RecordingCallback(const char *funcName, const char *para, std::int32_t, std::int32_t,
                                      char *returnString) {
    if (std::strcmp(funcName, "Interrupt") == 0) {
        RecordedEvents().push_back(para);
        return 0;
    }
    if (std::strcmp(funcName, "Subst") == 0) {
        std::size_t length = std::strlen(para);
        std::memcpy(returnString, para, length + 1);
        return static_cast<std::int32_t>(length);
    }
    return 0;
}

inline std::string HexRecord(const std::string &xml) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : xml) {
        hex.push_back(digits[byte >> 4]);
        hex.push_back(digits[byte & 15]);
    }
    return hex;
}

class RecordingHost {
public:
    RecordingHost() {
        QnD_Stop();
        RecordedEvents().clear();
        QnD_Initialize2(reinterpret_cast<intptr_t>(&RecordingCallback));
    }
    ~RecordingHost() {
        QnD_Stop();
        ZavorPlugin::CallbackAddress = 0;
    }
    RecordingHost(const RecordingHost &) = delete;
    RecordingHost &operator=(const RecordingHost &) = delete;

    // A new document without a page; from here on variables work.
    void StartDocument() { QnD_Execute(HexRecord("<Settings><ver>100</ver><Typ>0</Typ></Settings>").c_str()); }
    void SaveTo(const std::string &path) { QnD_SetVar("PDFSpeichern", path.c_str()); }
    const std::vector<std::string> &Events() const { return RecordedEvents(); }
    const std::vector<ZavorPlatform::MessageBoxMessage> &Boxes() const { return boxes_.Messages(); }

private:
    ZavorPlatform::MessageBoxRecorder boxes_;
};

// A host buffer preset with '#', to see exactly which bytes an export wrote.
class HostBuffer {
public:
    explicit HostBuffer(std::size_t size = 512) : bytes_(size, '#') {}
    char *data() { return bytes_.data(); }
    bool Untouched() const { return bytes_.find_first_not_of('#') == std::string::npos; }
    // The text before the first zero; empty when nothing was written.
    std::string Text() const {
        std::size_t zero = bytes_.find('\0');
        return zero == std::string::npos ? std::string() : bytes_.substr(0, zero);
    }
    // Written up to and including the zero, and not a byte more.
    bool Holds(const std::string &text) const {
        return bytes_.compare(0, text.size() + 1, std::string(text) + '\0') == 0 &&
               bytes_.find_first_not_of('#', text.size() + 1) == std::string::npos;
    }

private:
    std::string bytes_;
};

// What QnD_GetVar writes for the variable; empty when it writes nothing.
inline std::string ReadVariable(const std::string &name, const std::string &argument = "") {
    HostBuffer result(4096);
    QnD_GetVar(name.c_str(), argument.c_str(), 0, result.data());
    return result.Text();
}

}  // namespace ZavorTest
