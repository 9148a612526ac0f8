#include "conversion_percents.h"

#include "errors.h"

namespace velmora {

void ConversionPercents::Check() const {
    if (!Valid()) {
        throw Exception("Percent out of range");
    }
}

}  // namespace velmora
