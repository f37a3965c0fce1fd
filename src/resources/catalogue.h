#pragma once
// The program's resources by identifier: strings and skin pictures.
// Each call loads afresh; nothing is cached.
#include <cstdint>
#include <string>

// <windows.h> maps LoadString to LoadStringW; include it before this header.
#ifdef LoadString
#undef LoadString
#endif

namespace orvane {

std::string LoadString(std::uint16_t id);  // UTF-8; empty when absent

struct PictureInfo {
  int width = 0;   // pixels
  int height = 0;  // pixels
  int depth = 0;   // bits per pixel
  bool exists() const { return width > 0 && height > 0; }
};
PictureInfo LoadPictureInfo(std::uint16_t id);

struct ProgramVersion {
  int major = 0, minor = 0, build = 0, revision = 0;
};
ProgramVersion LoadProgramVersion();

}  // namespace orvane
