// Reads a file whole into memory, in one buffer of the file's size: a model, or an edits
// file.
#pragma once

#include <cstddef>

#include "model/model_image.h"
#include "run/run_files.h"

// CannotRead if the file cannot be opened, sized or read in full, OutOfMemory if its
// buffer cannot be had; the image is then empty. Only a regular file (or a link to one) is read. `extra` zero
// bytes follow the file's bytes, not counted in its size (the edits reader wants a NUL
// after the text). A loaded image is released with releaseFileImage.
FileLoad loadFileWhole(const char* path, std::size_t extra, ModelImage& image);
void releaseFileImage(ModelImage& image);
