// ImageList3 of the help window: the open folder with its arrow for the selected topic and the
// closed folder for the others, drawn from the pixel maps in FolderImages_win.cpp.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "platform/UniqueHandles_win.h"

namespace help {

constexpr int kOpenFolderImage = 0;
constexpr int kClosedFolderImage = 1;

// Their size at 96 dots per inch; the window scales it to its monitor, as the editor its images.
constexpr int kFolderImageSize = 16;

// A new masked image list of size x size pixels holding the two pictures.
platform::UniqueHimagelist CreateFolderImages(int size);

}  // namespace help
