// The small pictures the fuzzers start from: valid JPEG files of every kind the converter
// accepts, a few it refuses, and files cut in the scan data and in the header.
#pragma once

#include <vector>

#include "jpeg_fixture.h"

namespace velmora::test {

std::vector<NamedJpeg> CorpusPictures();

}  // namespace velmora::test
