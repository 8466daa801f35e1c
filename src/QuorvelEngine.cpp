#include "QuorvelEngine.h"

#include "FileIO.h"

// Stubs: filled in by the time text, split grid and split file work.
std::string returnstring = "\n";

std::int32_t RoundToInt(double) { return 0; }
std::int32_t timevalToLong(timeval) { return 0; }
std::string IntToString(std::int32_t) { return {}; }
std::string LongToTimeString(std::int32_t, bool, bool) { return {}; }
std::int32_t TimeStringToLong(std::string) { return 0; }
void SetClockSource(ClockSource) {}
std::int32_t ClockNow() { return 0; }

void SplitDataClass::CopySplitData(const SplitDataClass*) {}

QuorvelClass::QuorvelClass(std::string folder)
    : DefaultFolder(std::move(folder)), FileDesc(std::make_unique<HeaderInfoClass>()) {}
QuorvelClass::~QuorvelClass() = default;
void QuorvelClass::ClearSplitData() {}
void QuorvelClass::ClearSplitsForRow(unsigned int) {}
unsigned int QuorvelClass::GetRowCount() const { return 0; }
unsigned int QuorvelClass::GetColumnCount() const { return 0; }
std::string QuorvelClass::GetFullFileDesc() const { return {}; }
std::string QuorvelClass::GetFullColumnHeader(unsigned int) const { return {}; }
std::string QuorvelClass::GetFullRowHeader(unsigned int) const { return {}; }
HeaderInfoClass* QuorvelClass::GetFileDescClass() const { return nullptr; }
HeaderInfoClass* QuorvelClass::GetColumnHeaderClass(unsigned int) const { return nullptr; }
HeaderInfoClass* QuorvelClass::GetRowHeaderClass(unsigned int) const { return nullptr; }
bool QuorvelClass::HasSplitPictures() const { return false; }
std::int32_t QuorvelClass::GetDataCellTimer(unsigned int, unsigned int) const { return 0; }
std::int32_t QuorvelClass::GetDataCellTimerDiff(unsigned int, unsigned int) const { return 0; }
std::int32_t QuorvelClass::GetDataCellElapsed(unsigned int, unsigned int) const { return 0; }
std::int32_t QuorvelClass::GetDataCellElapsedDiff(unsigned int, unsigned int) const { return 0; }
std::string QuorvelClass::GetDataCellNotes(unsigned int, unsigned int) const { return {}; }
std::vector<void*>* QuorvelClass::GetDataCellLabelList(unsigned int, unsigned int) {
    return nullptr;
}
void QuorvelClass::LoadSplitData(std::string) {}
void QuorvelClass::SaveSplitData() {}
void QuorvelClass::ParseLines(std::string, std::vector<std::string>*) {}
void QuorvelClass::ParseColumns(std::string, std::vector<std::string>*) {}
std::string QuorvelClass::RemoveSpecialCodes(std::string text) { return text; }
std::string QuorvelClass::MakeSpecialCodes(std::string text) { return text; }
void QuorvelClass::write_line_to_file(FILE*, std::string) {}
