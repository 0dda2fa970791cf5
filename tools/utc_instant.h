#pragma once

#include <cstdint>
#include <string>

// The instants the tools' --at options take: YYYY-MM-DDTHH:MM:SSZ, a real
// calendar instant in UTC inside the range in which the ephemeris' figures
// hold. Outside it the calendar arithmetic counts 1900 and 2100 as leap
// years and the lunar day drifts, so the tools refuse such instants.

// The supported range, inclusive, as the option reads it.
inline constexpr char kUtcInstantFirst[] = "1900-03-01T00:00:00Z";
inline constexpr char kUtcInstantLast[] = "2100-02-28T23:59:59Z";

// Parses an --at value. Returns 1 on success, 0 for anything else
// (malformed, not a real date or time, or outside the supported range).
int ParseUtcInstant(const char* text, int64_t& secondsSinceEpoch);

// Why ParseUtcInstant refused the text, as one line for the tools' error
// message.
std::string UtcInstantProblem(const char* text);
