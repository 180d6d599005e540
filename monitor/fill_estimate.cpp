#include "monitor/fill_estimate.h"

#include "core/names.h"
#include "core/text_builder.h"

namespace FillEstimate {
namespace {

constexpr double MsPerMinute = 60000.0;
constexpr int DriveSize = 8; // as the settings hold a drive: 7 characters and the zero

// Oldest first from `oldest`; once full, each new sample overwrites the oldest.
std::uint64_t sampleMs[Capacity];
std::uint32_t sampleMb[Capacity];
int oldest = 0;
int count = 0;
char sampledDrive[DriveSize];

int slotOf(int age) {
    return (oldest + age) % Capacity;
}

std::uint64_t newestMs() {
    return sampleMs[slotOf(count - 1)];
}

void keep(std::uint64_t nowMs, std::uint32_t freeMb) {
    int slot = slotOf(count);
    if (count < Capacity) {
        ++count;
    } else {
        oldest = slotOf(1);
    }
    sampleMs[slot] = nowMs;
    sampleMb[slot] = freeMb;
}

// The position, oldest first, of the first sample no older than the window.
int firstInWindow(std::uint64_t nowMs) {
    const std::uint64_t cutoff = nowMs > WindowMs ? nowMs - WindowMs : 0;
    int position = 0;
    while (position < count && sampleMs[slotOf(position)] < cutoff) {
        ++position;
    }
    return position;
}

// Least-squares slope over the samples from `first` on, centred on their means so that
// neither the 1e9+ millisecond clock nor large free-space values cost precision.
double slopeMbPerMinute(int first) {
    const std::uint64_t startMs = sampleMs[slotOf(first)];
    const int used = count - first;
    double sumMinutes = 0;
    double sumMb = 0;
    for (int position = first; position < count; ++position) {
        sumMinutes += static_cast<double>(sampleMs[slotOf(position)] - startMs) / MsPerMinute;
        sumMb += sampleMb[slotOf(position)];
    }
    const double meanMinutes = sumMinutes / used;
    const double meanMb = sumMb / used;
    double covariance = 0;
    double variance = 0;
    for (int position = first; position < count; ++position) {
        const double minutes =
            static_cast<double>(sampleMs[slotOf(position)] - startMs) / MsPerMinute - meanMinutes;
        covariance += minutes * (sampleMb[slotOf(position)] - meanMb);
        variance += minutes * minutes;
    }
    return covariance / variance;
}

// Half up; -1 when further away than anyone should be told.
std::int32_t wholeMinutes(double minutes) {
    const double rounded = minutes + 0.5;
    return rounded < MostMinutes + 1.0 ? static_cast<std::int32_t>(rounded) : -1;
}

std::int32_t minutesUntil(std::int64_t freeMb, std::int64_t level, double mbPerMinute) {
    if (freeMb <= level) {
        return 0;
    }
    return wholeMinutes(static_cast<double>(freeMb - level) / -mbPerMinute);
}

double spanMinutes(int first) {
    return static_cast<double>(newestMs() - sampleMs[slotOf(first)]) / MsPerMinute;
}

} // namespace

void reset() {
    oldest = 0;
    count = 0;
}

void followDrive(const char* drive) {
    if (keepName(sampledDrive, DriveSize, drive)) {
        reset();
    }
}

void addSample(std::uint64_t nowMs, std::uint32_t freeMb) {
    // The clock went back: the kept history no longer lines up with it. Free space rose: a
    // deletion, whose jump would flatten the slope for the next ten minutes.
    if (count > 0 && (nowMs < newestMs() || freeMb > sampleMb[slotOf(count - 1)] + MinimumFallMb)) {
        reset();
    }
    if (count == 0 || nowMs - newestMs() >= SpacingMs) {
        keep(nowMs, freeMb);
    }
}

FillForecast forecast(std::uint64_t nowMs, std::uint32_t freeMb, std::int32_t level1,
                      std::int32_t level2) {
    const int first = firstInWindow(nowMs);
    if (count - first < MinimumSamples || newestMs() - sampleMs[slotOf(first)] < MinimumSpanMs) {
        return FillForecast{};
    }
    const double mbPerMinute = slopeMbPerMinute(first);
    if (!(-mbPerMinute * spanMinutes(first) > MinimumFallMb)) {
        return FillForecast{};
    }
    const std::int64_t free = freeMb;
    const int towardsLevel = free > level1 ? 1 : 2;
    const std::int32_t minutes =
        minutesUntil(free, towardsLevel == 1 ? level1 : level2, mbPerMinute);
    if (minutes < 0) {
        return FillForecast{};
    }
    return FillForecast{true, mbPerMinute, minutes, towardsLevel};
}

int formatRate(double mbPerMinute, char* out, int size) {
    const bool negative = mbPerMinute < 0;
    const double scaled = (negative ? -mbPerMinute : mbPerMinute) * 10 + 0.5;
    // Beyond any real rate, or not a number: shown as zero rather than overflowing the cast.
    const std::uint64_t tenths = scaled < 1e18 ? static_cast<std::uint64_t>(scaled) : 0;
    TextBuilder text(out, size);
    if (negative && tenths != 0) {
        text.character('-'); // what shows as zero carries no sign
    }
    text.number(static_cast<std::int64_t>(tenths / 10))
        .character('.')
        .character(static_cast<char>('0' + tenths % 10));
    return text.length();
}

void describeArrival(TextBuilder& out, const FillForecast& forecast) {
    out.text("level ")
        .number(forecast.towardsLevel)
        .text(" in about ")
        .number(forecast.minutes)
        .text(" min");
}

} // namespace FillEstimate
