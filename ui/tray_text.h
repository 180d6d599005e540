#pragma once
#include <cstdint>

#include "core/transition.h"

struct Settings;

// The texts the notification icon shows: the balloons of the transitions and the tip.
namespace TrayText {

constexpr int BalloonSize = 256; // the balloon record's szInfo
constexpr int TipSize = 64;      // the first icon record's szTip

// "D: 950 MB free, level 1 is 1000 MB", and what follows it for each transition; the drive
// is named by its letter and colon.
void balloon(Transition transition, const TransitionFacts& facts, const Settings& settings,
             char (&out)[BalloonSize]);

// The program's name, and " (dry run)" after it while rehearsing.
void startTip(bool dryRun, char (&out)[TipSize]);
// "Zembrovale 0.7: 4990 MB, level 1 in ~25 min (dry run)". An estimate that would not fit
// is left out: free space and the rehearsal matter more than a very distant forecast.
void estimateTip(std::uint32_t freeMb, const FillForecast& forecast, bool dryRun,
                 char (&out)[TipSize]);

} // namespace TrayText
