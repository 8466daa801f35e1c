#include "IniFiles.h"

// Stubs: filled in by the settings store work.
void IniFileClass::ReadIniFile(std::string) {}
bool IniFileClass::SaveIniFile() { return false; }
std::string IniFileClass::ReadString(std::string, std::string, std::string def) { return def; }
std::int32_t IniFileClass::ReadInteger(std::string, std::string, std::int32_t def) { return def; }
double IniFileClass::ReadFloat(std::string, std::string, double def) { return def; }
void IniFileClass::WriteString(std::string, std::string, std::string) {}
void IniFileClass::WriteInteger(std::string, std::string, std::int32_t) {}
void IniFileClass::WriteFloat(std::string, std::string, double) {}
void IniFileClass::ParseLines(std::string, std::vector<std::string>*) {}
