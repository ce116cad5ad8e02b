// The program's name and version as shown in the window caption and by olbrax-cli --version.
#pragma once

namespace olbrax {

inline constexpr const char* kProgramVersion = "OlbraxW32 240530 10.00";
// Marks this build for Linux and Qt, after the version in captions.
inline constexpr const char* kPortTag = " (linux-qt)";
// The application title.
inline constexpr const char* kAppTitle = "olbraxw32";

}  // namespace olbrax
