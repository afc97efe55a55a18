#pragma once

// The program's version text: the about box shows it and every band-bending file records it.
inline constexpr const char* VersionNumber = "1.1 (2003/7/1)";
