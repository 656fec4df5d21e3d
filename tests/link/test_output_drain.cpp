// The wait for a request to leave the port, against each driver's way of reporting its queue.
#include <functional>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "link/OutputDrain.h"
#include "tests/support/FakeDrainClock.h"

namespace {

using std::chrono::milliseconds;

using FakeClock = FakeDrainClock;

// The driver's answer to "how many bytes are left?", given the time since the write.
using Driver = std::function<std::optional<int>(milliseconds sinceWrite, int look)>;

struct DriverCase {
    const char* name;
    Driver driver;
    bool drained;
    milliseconds elapsed;  // when the wait returns, at most
};

class DrainOf : public testing::TestWithParam<DriverCase> {};

// A 12-byte request at 1200 baud is 100 ms on the line; the bound is one second.
TEST_P(DrainOf, ReturnsWhenTheRequestIsOnTheLineAndNotLater) {
    FakeClock clock;
    int look = 0;
    const QueueReport queued = [&] { return GetParam().driver(clock.Elapsed(), look++); };
    const bool drained = WaitUntilSent(queued, clock.Start(), LineTime(12, 1200),
                                       clock.Start() + milliseconds(1000), clock.Clock());
    EXPECT_EQ(drained, GetParam().drained);
    EXPECT_LE(clock.Elapsed(), GetParam().elapsed);
    EXPECT_GE(clock.Elapsed(), GetParam().drained ? milliseconds(100) : GetParam().elapsed);
    EXPECT_LE(clock.LongestSleep(), milliseconds(100));
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, DrainOf,
    testing::Values(
        // Whole USB transfers in flight, for a 12-byte request.
        DriverCase{"CdcAcm", [](milliseconds, int look) { return look == 0 ? 1280 : 0; }, true,
                   milliseconds(100)},
        DriverCase{"CdcAcmHighSpeed",
                   [](milliseconds since, int) { return since < milliseconds(3) ? 10240 : 0; },
                   true, milliseconds(100)},
        // The bytes left, counting down as they go out.
        DriverCase{"Ftdi",
                   [](milliseconds since, int) {
                       return std::max(0, 12 - static_cast<int>(since.count() * 12 / 100));
                   },
                   true, milliseconds(100) + kDrainPollInterval},
        // Empty at once: the line time still has to pass.
        DriverCase{"Serial8250", [](milliseconds, int) { return 0; }, true, milliseconds(100)},
        DriverCase{"NeverEmpties", [](milliseconds, int) { return 3; }, false, milliseconds(1000)},
        DriverCase{"ReportFails", [](milliseconds, int) { return std::optional<int>(); }, false,
                   milliseconds(0)}),
    [](const testing::TestParamInfo<DriverCase>& info) { return std::string(info.param.name); });

TEST(LineTime, TenBitsAByte) {
    EXPECT_EQ(LineTime(12, 1200), std::chrono::microseconds(100'000));
    EXPECT_EQ(LineTime(68, 1200), std::chrono::microseconds(566'666));
}

}  // namespace
