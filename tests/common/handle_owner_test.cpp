// The one owner of handles: given back exactly once, however its scope ends.
#include "common/handle_owner.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace velmaro {
namespace {

// Notes every handle given back; throws for handle 13 after noting it.
struct Recorder {
    std::vector<int>* released;
    int operator()(int handle) const {
        released->push_back(handle);
        if (handle == 13) {
            throw std::runtime_error("release failed");
        }
        return handle * 10;
    }
};

TEST(HandleOwner, GivesBackOnceHoweverTheScopeEnds) {
    std::vector<int> released;
    {
        HandleOwner owner(7, Recorder{&released});
        EXPECT_EQ(owner.Get(), 7);
    }
    try {
        HandleOwner owner(8, Recorder{&released});
        throw std::logic_error("leaving early");
    } catch (const std::logic_error&) {
    }
    {
        HandleOwner owner(0, Recorder{&released});
        owner.Receive() = 9;  // as an out-parameter fills it
    }
    {
        HandleOwner owner(13, Recorder{&released});  // its release throws: swallowed
    }
    EXPECT_EQ(released, (std::vector<int>{7, 8, 9, 13}));
}

TEST(HandleOwner, ReleaseNowAnswersAndDisownGivesNothingBack) {
    std::vector<int> released;
    {
        HandleOwner owner(4, Recorder{&released});
        EXPECT_EQ(owner.ReleaseNow(), 40);
    }
    {
        HandleOwner owner(5, Recorder{&released});
        EXPECT_EQ(owner.Disown(), 5);
    }
    EXPECT_EQ(released, std::vector<int>{4});
}

}  // namespace
}  // namespace velmaro
