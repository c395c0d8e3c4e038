// The sample pictures of the options screen: OPTBASE (the background, no
// mask, one for all languages) and OPTION (its panel art with a mask, in
// ENG and CHI), both in "RESOURCE/UITEXT/OPTION" and packed in UIMAP. In
// OPTION every rectangle the screen cuts is a named cell: the header, the
// row bar, the six row labels and their highlighted twins (the cursor), the
// volume bar's blocks, the chevrons, the mouse-speed bar, knob and end
// icons, the binding page's column headings, row-name pictures, pointer,
// listen mark and page indicator.
#pragma once

#include <vector>

#include "tools/mkdata/ui_pictures.h"

namespace mkdata {

std::vector<PictureSpec> OptionPictures();

}  // namespace mkdata
