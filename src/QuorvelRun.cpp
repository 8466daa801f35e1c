#include "QuorvelEngine.h"

// Stubs: filled in by the run engine work.
void QuorvelClass::StartTimer() {}
void QuorvelClass::StopTimer() {}
void QuorvelClass::ResumeTimer() {}
void QuorvelClass::ClearTimer() {}
void QuorvelClass::DoSplit() {}
void QuorvelClass::SkipSplit() {}
void QuorvelClass::UndoSplit() {}
std::int32_t QuorvelClass::GetCurrentTime() const { return 0; }
bool QuorvelClass::IsTimerRunning() const { return false; }
std::uint32_t QuorvelClass::GetNextSplitNumber() const { return 0; }
std::int32_t QuorvelClass::GetCurrentTimeDiffFromNextSplit() const { return 0; }
std::int32_t QuorvelClass::GetTimeToNextSplit() const { return 0; }
std::int32_t QuorvelClass::GetTotalAttemptCount() const { return 0; }
std::int32_t QuorvelClass::GetSessionAttemptCount() const { return 0; }
std::int32_t QuorvelClass::GetTimerModeFirstPlaceTime() const { return 0; }
void QuorvelClass::UpdateBestSplits() {}
void QuorvelClass::KeepCurrentSplits() {}
void QuorvelClass::RefreshBestSplitTimers() {}
void QuorvelClass::UpdateTimerDiffs() {}
void QuorvelClass::UpdateBestSplitElapsed(unsigned int, std::int32_t) {}
void QuorvelClass::UpdateBestSplitTimer(unsigned int, std::int32_t) {}
void QuorvelClass::UpdateDataCellTimer(unsigned int, unsigned int, std::int32_t) {}
void QuorvelClass::UpdateDataCellElapsed(unsigned int, unsigned int, std::int32_t) {}
void QuorvelClass::UpdateDataCellNotes(unsigned int, unsigned int, std::string) {}
void QuorvelClass::SaveSplitStateData() {}
void QuorvelClass::LoadSplitStateData(std::string) {}
std::string QuorvelClass::SplitStatePath() const { return {}; }
