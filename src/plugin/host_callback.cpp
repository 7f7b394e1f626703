#include "plugin/host_callback.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/code_page.h"
#include "platform/host_code_page.h"
#include "platform/message_box.h"
#include "plugin/ansi_text.h"
#include "platform/process_exit.h"

namespace ZavorPlugin {

std::intptr_t CallbackAddress = 0;

namespace {

HostCallback StoredCallback() { return reinterpret_cast<HostCallback>(CallbackAddress); }

std::u16string SubstitutedText(const char *buffer, std::int32_t length) {
    if (length < 0 || static_cast<std::size_t>(length) > kSubstBufferSize) {
        throw std::out_of_range("Die Länge \"" + std::to_string(length) + "\" liegt außerhalb des Puffers von " +
                                std::to_string(kSubstBufferSize) + " Bytes.");
    }
    // The host need not terminate its answer: look for the zero only inside
    // the buffer.
    const char *end = std::find(buffer, buffer + kSubstBufferSize, '\0');
    std::size_t available = static_cast<std::size_t>(end - buffer);
    std::size_t taken = std::min(available, static_cast<std::size_t>(length));
    return ZavorPlatform::HostAnsiToUnicode(std::string_view(buffer, taken));
}

void FailFatally(const std::u16string &reason) {
    ZavorPlatform::ShowMessageBox(
        u"FATAL: OUT OF MEMORY! Speicherfehler beim Aufl\u00f6schen der Vornix Variable\nProgramm wird terminiert.\n\n"
        u"Fehler: " + reason,
        u"Where is the Guru?", ZavorPlatform::MessageBoxIcon::Error);
    ZavorPlatform::ExitProcess(1);
}

}  // namespace

std::int32_t ExecuteCallback(std::u16string_view funcName, std::u16string_view para, std::int32_t paraLen,
                             std::int32_t flags, char *returnString) {
    HostCallback callback = StoredCallback();
    if (callback == nullptr) return 0;
    std::string ansiName = ZavorPlatform::UnicodeToHostAnsi(funcName);
    std::string ansiPara = ToAnsi(para);
    std::array<char, 256> scratch{};
    return callback(ansiName.c_str(), ansiPara.c_str(), paraLen, flags,
                    returnString != nullptr ? returnString : scratch.data());
}

void RaiseEvent(std::u16string_view eventName) { ExecuteCallback(u"Interrupt", eventName, -1, 0); }

namespace {

// The answer buffers of the Subst calls running now, one per depth (the
// host may run script lines, and so reach the plug-in again, while it
// answers). Every page resolves several settings: a buffer of this size
// made and freed for each of them cost more than the page's text.
class SubstBuffers {
public:
    char *Take() {
        if (inUse_ == buffers_.size()) buffers_.push_back(std::make_unique<char[]>(kSubstBufferSize));
        return buffers_[inUse_++].get();
    }
    void Give() { --inUse_; }

private:
    std::vector<std::unique_ptr<char[]>> buffers_;
    std::size_t inUse_ = 0;
};

class SubstBuffer {
public:
    explicit SubstBuffer(SubstBuffers &buffers) : buffers_(buffers), data_(buffers.Take()) {}
    ~SubstBuffer() { buffers_.Give(); }
    SubstBuffer(const SubstBuffer &) = delete;
    SubstBuffer &operator=(const SubstBuffer &) = delete;
    char *Data() const { return data_; }

private:
    SubstBuffers &buffers_;
    char *data_;
};

}  // namespace

std::u16string ResolveQNVar(std::u16string_view text) {
    if (StoredCallback() == nullptr) return std::u16string(text);
    try {
        thread_local SubstBuffers buffers;
        SubstBuffer buffer(buffers);
        std::memset(buffer.Data(), 'X', kSubstBufferSize);
        std::int32_t length = ExecuteCallback(u"Subst", text, -1, 0, buffer.Data());
        return SubstitutedText(buffer.Data(), length);
    } catch (const std::exception &error) {
        FailFatally(ZavorPlatform::Utf8ToUtf16(error.what()));
    } catch (...) {
        FailFatally(u"Unbekannter Fehler");
    }
    // Reached only when a test has kept the process alive.
    return {};
}

}  // namespace ZavorPlugin
