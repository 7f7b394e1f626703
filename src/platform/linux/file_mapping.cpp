#include "platform/file_mapping.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <limits>
#include <mutex>

#include "platform/linux/file_descriptor.h"

namespace ZavorPlatform {

namespace {

// A file shortened by another program while it is mapped makes every read
// of a page past its new end raise SIGBUS, which would end the host. The
// mappings are registered here, and a handler puts a page of zeros in
// place of the lost one and marks the mapping. The registry is fixed and
// lock-free, as the handler may run at any point of any thread.
struct Slot {
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> shortened{false};
};

constexpr int SlotCount = 16;
std::array<Slot, SlotCount> slots;
struct sigaction previousAction{};
std::once_flag handlerInstalled;

void OnBusError(int signal, siginfo_t *info, void *context) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Slot &slot : slots) {
        if (address < slot.begin.load() || address >= slot.end.load()) continue;
        const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        void *page = reinterpret_cast<void *>(address & ~(pageSize - 1));
        if (mmap(page, pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) == MAP_FAILED) break;
        slot.shortened.store(true);
        return;
    }
    // Not ours: whoever handled it before us does, or it ends the process
    // as it would have without us.
    if ((previousAction.sa_flags & SA_SIGINFO) != 0 && previousAction.sa_sigaction != nullptr) {
        previousAction.sa_sigaction(signal, info, context);
    } else if (previousAction.sa_handler != SIG_DFL && previousAction.sa_handler != SIG_IGN) {
        previousAction.sa_handler(signal);
    } else {
        struct sigaction fallback{};
        fallback.sa_handler = SIG_DFL;
        sigemptyset(&fallback.sa_mask);
        sigaction(SIGBUS, &fallback, nullptr);
    }
}

void InstallHandler() {
    struct sigaction action{};
    action.sa_sigaction = &OnBusError;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, &previousAction);
}

int Register(const std::uint8_t *data, std::size_t size) {
    std::call_once(handlerInstalled, InstallHandler);
    for (int i = 0; i < SlotCount; ++i) {
        std::uintptr_t expected = 0;
        const auto begin = reinterpret_cast<std::uintptr_t>(data);
        if (!slots[static_cast<std::size_t>(i)].begin.compare_exchange_strong(expected, begin)) continue;
        slots[static_cast<std::size_t>(i)].shortened.store(false);
        slots[static_cast<std::size_t>(i)].end.store(begin + size);
        return i;
    }
    return -1;
}

}  // namespace

std::unique_ptr<FileMapping> FileMapping::Map(const std::filesystem::path &path) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.IsOpen()) return nullptr;
    struct stat status{};
    if (fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0) return nullptr;
    if (static_cast<std::uintmax_t>(status.st_size) > std::numeric_limits<std::size_t>::max()) return nullptr;
    const auto size = static_cast<std::size_t>(status.st_size);
    void *address = mmap(nullptr, size, PROT_READ, MAP_SHARED, file.Get(), 0);
    if (address == MAP_FAILED) return nullptr;
    const auto *data = static_cast<const std::uint8_t *>(address);
    int slot = Register(data, size);
    // Without a place in the registry a shortened file would end the host.
    if (slot < 0) {
        munmap(address, size);
        return nullptr;
    }
    return std::unique_ptr<FileMapping>(new FileMapping(data, size, slot));
}

bool FileMapping::LeavesFileWritable() { return true; }

FileMapping::FileMapping(const std::uint8_t *data, std::size_t size, int slot)
    : data_(data), size_(size), slot_(slot) {}

FileMapping::~FileMapping() {
    munmap(const_cast<std::uint8_t *>(data_), size_);
    Slot &slot = slots[static_cast<std::size_t>(slot_)];
    slot.end.store(0);
    slot.begin.store(0);
}

bool FileMapping::Shortened() const { return slots[static_cast<std::size_t>(slot_)].shortened.load(); }

}  // namespace ZavorPlatform
