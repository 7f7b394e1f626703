// No test of this program may open a real window, whatever display the
// machine has: the editor sees no display unless a test installs fakes.
#include <gtest/gtest.h>

#include <memory>

#include "platform/ui_fake_window.h"

namespace {

class NoDisplayEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        factory_ = std::make_unique<ZavorPlatform::FakeUiWindowFactory>();
        factory_->noDisplay = true;
    }
    void TearDown() override { factory_.reset(); }

private:
    std::unique_ptr<ZavorPlatform::FakeUiWindowFactory> factory_;
};

[[maybe_unused]] ::testing::Environment *const kNoDisplay =
    ::testing::AddGlobalTestEnvironment(new NoDisplayEnvironment);

}  // namespace
