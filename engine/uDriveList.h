#pragma once
// Builds the list of fixed drives that carry a file system, in the order the
// system lists their roots. Main thread, once at start-up.

#include "engine/uTypes.h"

#include <cstdint>
#include <string>

class TImageList;
namespace platform { struct SystemImageList; }

// Empties and refills list, sets count, and attaches the system image lists
// (32 and 48 pixels) to the two image lists (either may be null).
void BuildDriveList(TDriveList& list, int32_t& count, TImageList* largeIcons,
                    TImageList* extraLargeIcons);

const platform::SystemImageList* GetSystemImageList(int32_t sizeClass);
// Empty text when the volume cannot be queried.
std::string GetVolumeFileSystem(const std::string& root);
// Both 0 when the space cannot be queried.
void GetDriveSpace(const std::string& root, int64_t& total, int64_t& freeAvailable);
// Without leading and trailing blanks and control characters.
std::string TrimText(const std::string& text);
