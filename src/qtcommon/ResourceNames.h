// Where the pictures and texts of the program are found among the
// resources compiled into it (resources/zorbik.qrc).
#pragma once

namespace zorbik {

inline constexpr const char* kMarkerStripResource = ":/markers.png";
inline constexpr const char* kPicture107Resource = ":/picture107.png";
inline constexpr const char* kHelpTextGermanResource = ":/help/help_de.txt";
inline constexpr const char* kHelpTextEnglishResource = ":/help/help_en.txt";

// Makes the resources of the program's library known to Qt. Call once
// before the first window is built.
void InitResources();

} // namespace zorbik
