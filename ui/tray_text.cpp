#include "ui/tray_text.h"

#include "core/program_name.h"
#include "core/text_builder.h"
#include "monitor/fill_estimate.h"
#include "settings/settings.h"

namespace {

constexpr const char* DryRunMark = " (dry run)";

// "D:" from "D:\" or "D:\data"; a name without a colon loses only its trailing backslash.
void driveName(TextBuilder& out, const char (&drive)[sizeof(Settings::DriveLetter)]) {
    if (drive[0] != '\0' && drive[1] == ':') {
        out.character(drive[0]).character(':');
        return;
    }
    int length = 0;
    while (length < static_cast<int>(sizeof drive) && drive[length] != '\0') {
        ++length;
    }
    if (length > 0 && drive[length - 1] == '\\') {
        --length;
    }
    for (int i = 0; i < length; ++i) {
        out.character(drive[i]);
    }
}

// A forecast past its level (negative minutes) has nothing left to count down to.
bool showable(const FillForecast& forecast) {
    return forecast.known && forecast.minutes >= 0;
}

void levelTwoOutcome(TextBuilder& out, const Settings& settings) {
    if (settings.ShutDownPC == 0) {
        return;
    }
    if (settings.DryRun != 0) {
        out.text("; dry run, no shutdown");
    } else if (settings.ShutdownDelay > 0) {
        out.text("; shutdown in up to ").number(settings.ShutdownDelay).text(" s");
    } else {
        out.text("; shutting down");
    }
}

bool writeTip(std::uint32_t freeMb, const FillForecast* forecast, bool dryRun,
              char (&out)[TrayText::TipSize]) {
    TextBuilder tip(out, sizeof out);
    tip.text(ProgramTitle).text(": ").number(freeMb).text(" MB");
    if (forecast != nullptr) {
        tip.text(", level ")
            .number(forecast->towardsLevel)
            .text(" in ~")
            .number(forecast->minutes)
            .text(" min");
    }
    if (dryRun) {
        tip.text(DryRunMark);
    }
    return !tip.cut();
}

} // namespace

namespace TrayText {

void balloon(Transition transition, const TransitionFacts& facts, const Settings& settings,
             char (&out)[BalloonSize]) {
    TextBuilder text(out, sizeof out);
    driveName(text, settings.DriveLetter);
    if (transition == Transition::MakeRoom) {
        text.text(" made room: ").number(facts.roomFiles);
        text.text(facts.roomFiles == 1 ? " recording, " : " recordings, ");
        text.number(facts.roomMb).text(" MB");
        return;
    }
    text.character(' ').number(facts.freeMb).text(" MB free");
    switch (transition) {
    case Transition::Alarm:
        text.text(", level 1 is ").number(settings.level1).text(" MB");
        if (showable(facts.forecast)) {
            FillEstimate::describeArrival(text.text(", "), facts.forecast);
        }
        break;
    case Transition::LevelTwo:
        text.text(", level 2 is ").number(settings.level2).text(" MB");
        levelTwoOutcome(text, settings);
        break;
    case Transition::Recover:
    case Transition::MakeRoom:
        text.text(" again");
        break;
    }
}

void startTip(bool dryRun, char (&out)[TipSize]) {
    TextBuilder(out, sizeof out).text(ProgramTitle).text(dryRun ? DryRunMark : "");
}

void estimateTip(std::uint32_t freeMb, const FillForecast& forecast, bool dryRun,
                 char (&out)[TipSize]) {
    if (showable(forecast) && writeTip(freeMb, &forecast, dryRun, out)) {
        return;
    }
    writeTip(freeMb, nullptr, dryRun, out);
}

} // namespace TrayText
