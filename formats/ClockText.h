// Time text as the other timers write it: hours, minutes and seconds with any number of
// decimals, optionally days in front, read into hundredths rounded to the nearest one.
//
//   "00:01:23.4560000" -> 8346    "1:05.5" -> 6550      "12.345" -> 1235 (a half goes up)
//   "-00:00:05" -> -500           "1.02:00:00" -> one day and two hours
//   "99999:00:00" -> 2147483647 (saturates, never wraps)
//   "1:0x" -> fault "has a letter"; "00:75:00" -> fault "minutes over 59"
//
// And the writing side: 8346 -> "00:01:23.4600000" (long form, seven decimals, days in front
// from 24 hours on) and 8346 -> "0:01:23.460000" (short form, six decimals).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Reads text into *hundredths. Returns false with *fault saying what is wrong when the text
// is not a time; leading and trailing blanks are allowed.
bool ReadClockText(std::string_view text, std::int32_t* hundredths, std::string* fault);

// "hh:mm:ss.fffffff", "-hh:mm:ss.fffffff", "d.hh:mm:ss.fffffff".
std::string LongClockText(std::int32_t hundredths);

// "h:mm:ss.ffffff", "-h:mm:ss.ffffff".
std::string ShortClockText(std::int32_t hundredths);
