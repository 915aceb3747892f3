// Reads a model file whole into a ModelImage of exactly the file's size.
#pragma once

#include "model/model_image.h"

// False if the file cannot be opened, sized or read in full, or the memory cannot be had;
// the image is then empty. A loaded image is released with releaseModelImage.
bool loadModelImage(const char* path, ModelImage& image);
void releaseModelImage(ModelImage& image);
