// The bytes of a Windows icon file (.ico) that holds one PNG image per size, the form the
// executable's icon resource takes; Windows Vista and later read PNG images in icons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tambrel {

struct IconImage {
    int size = 0;         // width and height in pixels, 1 to 256
    std::string pngBytes; // the image, PNG-encoded
};

// Empty when there is no image, a size lies outside 1..256 or the images exceed what the
// file's 32-bit offsets can address.
std::string windowsIconFile(const std::vector<IconImage>& images);

} // namespace tambrel
