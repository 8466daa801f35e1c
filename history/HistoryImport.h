// Another timer's attempt list and segment histories turned into a History, for the .lss
// importer: it reads the XML and hands over plain numbers; HistoryDatabase::ReplaceAll then
// writes the result in one transaction. Standard library only.
//
//   HistoryImport in;
//   in.Clock = TimeClock::Game;
//   in.SplitNames = {"Forest", "Castle"};
//   in.Attempts = {{1, started, ended, /*Time=*/std::nullopt, /*PauseTime=*/std::nullopt},
//                  {2, started, ended, 9010, 150}};
//   in.SegmentHistory = {{{1, 4000}, {2, 3990}, {-3, 3900}},      // Forest
//                        {{2, 5020}}};                             // Castle
//   ImportSummary summary;
//   History history = BuildImportedHistory(in, &summary);
//   // attempt 1: reset while timing Castle; attempt 2: finished, 1:30.10, paused 1.50;
//   // -3 is an id with no attempt: its 39.00 is kept as a segment time of no attempt.
//   summary.Text() -> "2 attempts and 4 segment times kept (1 of them from ids with no attempt)"
//
// Ids at or below 0 and ids that no attempt has are both real: they are kept, as segment
// times of no attempt, so that a file exported again holds them where they were. An attempt
// with a final time finished; one without ended by a reset (the other timer keeps no more).
// Times are hundredths on the route's clock, already rounded by the caller; a segment entry
// without a time on that clock is a skipped split. The attempts are put in order of id.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "HistoryTypes.h"

namespace history {

struct ImportedAttempt {
    std::int32_t Id = 0;
    std::optional<std::int64_t> StartedUtc;  // seconds since 1970-01-01 00:00 UTC
    std::optional<std::int64_t> EndedUtc;
    std::optional<std::int32_t> Time;  // the final time; none: the attempt did not finish
    std::optional<std::int32_t> PauseTime;

    bool operator==(const ImportedAttempt&) const = default;
};

struct ImportedSegmentTime {
    std::int32_t Id = 0;
    std::optional<std::int32_t> Time;  // none: the split was skipped

    bool operator==(const ImportedSegmentTime&) const = default;
};

struct HistoryImport {
    TimeClock Clock = TimeClock::Real;
    std::vector<std::string> SplitNames;
    std::vector<ImportedAttempt> Attempts;
    std::vector<std::vector<ImportedSegmentTime>> SegmentHistory;  // one list per split
};

struct ImportSummary {
    std::size_t Attempts = 0;
    std::size_t Finished = 0;
    std::size_t SegmentTimes = 0;             // entries kept, skipped ones included
    std::size_t SegmentTimesOfNoAttempt = 0;  // of those, entries whose id no attempt has
    std::size_t LeftOut = 0;  // second entries of one id at one split, segment lists past the
                              // route's splits, and second attempts of one id: not kept

    // "1,788 attempts and 1,436 segment times kept (12 of them from ids with no attempt)"; with
    // anything left out: "..., 3 duplicate entries left out".
    std::string Text() const;
};

History BuildImportedHistory(const HistoryImport& in, ImportSummary* summary);

// A count with thousands separators: 1788 -> "1,788".
std::string CountText(std::size_t count);

}  // namespace history
