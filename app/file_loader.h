// Reads a file whole into memory, in one buffer of exactly the file's size: a model, or an
// edits file.
#pragma once

#include "model/model_image.h"

// False if the file cannot be opened, sized or read in full, or the memory cannot be had;
// the image is then empty. Only a regular file (or a link to one) is read. A loaded image
// is released with releaseModelImage.
bool loadModelImage(const char* path, ModelImage& image);
void releaseModelImage(ModelImage& image);

// The same for an edits file, with a NUL after its last byte, as the edits reader wants.
bool loadEditsText(const char* path, ModelImage& text);
