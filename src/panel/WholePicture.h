#pragma once
// Whether a picture file holds all of its image data. Qt's BMP, JPEG and GIF readers return a
// picture cut short as a whole one, its missing part black or grey; such a file is no usable
// panel picture, so its structure is walked before it is decoded.
#include <string_view>

namespace picture {

// False for a BMP, JPEG or GIF file that ends before its image data does; true for a whole one
// and for other formats, whose readers report a short file themselves.
bool endsWhole(std::string_view file);

} // namespace picture
