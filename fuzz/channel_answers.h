// The answers of a fuzzed device channel, shared by the channel fuzz target
// and the framework stand-in it loads: both read their answers, in call order,
// from the one input.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

// Exported by the fuzzing framework stand-in ("winbio.dll" in the target's folder).
typedef void (*SetFrameworkAnswersFn)(FuzzedDataProvider* answers);
inline constexpr const char* kSetFrameworkAnswersName = "FuzzSetFrameworkAnswers";
