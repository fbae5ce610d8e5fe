#pragma once

// Version resource 1 of the browser.
namespace kestrel::stillbox::res {

inline constexpr char kFileVersion[] = "1, 0, 0, 1";
inline constexpr char kProductVersion[] = "1, 0, 0, 1";
inline constexpr char kFileDescription[] = "Kestrel Frames Browser Application";
inline constexpr char kProductName[] = "Kestrel Frames Browser Application";
inline constexpr char kInternalName[] = "Kestrel Frames Browser";
inline constexpr char kOriginalFilename[] = "stillbox.EXE";
inline constexpr char kCompanyName[] = "Orvane";
// The dotted form Qt reports as the application version.
inline constexpr char kDottedVersion[] = "1.0.0.1";

}  // namespace kestrel::stillbox::res
