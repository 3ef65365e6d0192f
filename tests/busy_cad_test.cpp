#include "cad/busy_cad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <vector>

namespace korvena {
namespace {

using std::chrono::milliseconds;

// A clock that moves only when the waiting pauses, and a user with answers ready.
class FakeWait final : public BusyCadWait {
public:
    milliseconds Now() override { return now; }
    void Pause(milliseconds pause) override {
        pauses.push_back(pause.count());
        now += pause;
    }
    bool AskToRetry() override {
        questions.push_back(now.count());
        if (answers.empty()) return false;
        const bool retry = answers.front();
        answers.pop_front();
        return retry;
    }

    milliseconds now{1'000'000};
    std::vector<long long> pauses;
    std::vector<long long> questions;  // when the user was asked
    std::deque<bool> answers;          // true: Retry
};

// A call that the CAD refuses `refusals` times, then takes.
struct RefusedCall {
    int refusals;
    int attempts = 0;
    bool operator()() { return ++attempts <= refusals; }
};

TEST(BusyCad, ACallTakenAtOnceNeverWaits) {
    FakeWait wait;
    RefusedCall call{0};
    RetryWhileRefused(wait, call);
    EXPECT_EQ(call.attempts, 1);
    EXPECT_TRUE(wait.pauses.empty());
}

TEST(BusyCad, PausesGrowFromFiftyToTwoHundredFiftyMilliseconds) {
    FakeWait wait;
    RefusedCall call{7};
    RetryWhileRefused(wait, call);
    EXPECT_EQ(call.attempts, 8);
    EXPECT_EQ(wait.pauses, (std::vector<long long>{50, 100, 150, 200, 250, 250, 250}));
    EXPECT_TRUE(wait.questions.empty());
}

TEST(BusyCad, TheUserIsAskedAfterTenSecondsOfRefusalsAndRetryWaitsTenMore) {
    FakeWait wait;
    wait.answers = {true, true, true};
    const auto start = wait.now.count();
    RefusedCall call{150};  // about 37 s of refusals
    RetryWhileRefused(wait, call);
    EXPECT_EQ(call.attempts, 151);
    ASSERT_EQ(wait.questions.size(), 3u);
    // First question once ten seconds have gone by, not before; each Retry starts the count again.
    EXPECT_GE(wait.questions[0] - start, 10'000);
    EXPECT_LT(wait.questions[0] - start, 10'250);
    EXPECT_GE(wait.questions[1] - wait.questions[0], 10'000);
    EXPECT_LT(wait.questions[1] - wait.questions[0], 10'300);
    // After a Retry the pauses start short again.
    const auto firstAfterRetry =
        std::find(wait.pauses.begin() + 1, wait.pauses.end(), 50) - wait.pauses.begin();
    EXPECT_GT(firstAfterRetry, 4);
}

TEST(BusyCad, CancelEndsWithoutAnotherAttempt) {
    FakeWait wait;
    wait.answers = {false};
    RefusedCall call{1'000'000};
    EXPECT_THROW(RetryWhileRefused(wait, call), CadBusyCancelled);
    EXPECT_EQ(wait.questions.size(), 1u);
    const int attemptsWhenAsked = call.attempts;
    EXPECT_GT(attemptsWhenAsked, 40);  // ten seconds of retries at most 250 ms apart
    EXPECT_LT(attemptsWhenAsked, 50);
}

TEST(BusyCad, ARefusalAfterASuccessStartsTheTenSecondsAfresh) {
    FakeWait wait;
    RefusedCall first{30};  // about 7 s
    RetryWhileRefused(wait, first);
    RefusedCall second{30};
    RetryWhileRefused(wait, second);
    EXPECT_TRUE(wait.questions.empty());
}

// The program's own clean-up waits quietly: never a question, and given up at its deadline, which counts
// from the first refusal under the wait and holds for every call made under it.
TEST(BusyCad, AQuietWaitNeverAsksAndGivesUpAtItsDeadline) {
    using namespace std::chrono_literals;
    FakeWait wait;
    {
        const QuietBusyWait quiet;
        RefusedCall call{5};
        EXPECT_THROW(RetryWhileRefused(wait, call), CadBusyCancelled);
        EXPECT_EQ(call.attempts, 1);
        EXPECT_TRUE(wait.pauses.empty());
    }
    {
        const QuietBusyWait quiet(2500ms);
        const milliseconds start = wait.now;
        RefusedCall first{3};
        RetryWhileRefused(wait, first);
        EXPECT_EQ(first.attempts, 4);
        RefusedCall second{1'000'000};
        EXPECT_THROW(RetryWhileRefused(wait, second), CadBusyCancelled);
        EXPECT_EQ(wait.now - start, 2500ms);  // the last pause is cut to the deadline
        EXPECT_LE(*std::max_element(wait.pauses.begin(), wait.pauses.end()), 250);
    }
    EXPECT_TRUE(wait.questions.empty());
    EXPECT_EQ(QuietBusyWait::Current(), nullptr);

    // Outside it the user is asked as before.
    wait.answers = {false};
    RefusedCall call{1'000'000};
    EXPECT_THROW(RetryWhileRefused(wait, call), CadBusyCancelled);
    EXPECT_EQ(wait.questions.size(), 1u);
}

}  // namespace
}  // namespace korvena
